// SPDX-License-Identifier: MIT
#include "window/KeptWorkFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <array>
#include <cmath>

namespace window {

namespace {

const QString kFormat = QStringLiteral("skinsmith kept work");
constexpr int kVersion = 1;
constexpr qsizetype kMaxBytes = 1 << 20;  // a full state is a few kilobytes

QJsonArray array(const auto& values) {
    QJsonArray result;
    for (const auto& value : values) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>)
            result.append(QString::fromStdString(value));
        else
            result.append(static_cast<qint64>(value));
    }
    return result;
}

// Names may not hold control characters (they end lines in the theme file); paths may not
// hold a quote either (the batch file's quoting), as the dialogs and the theme reader refuse.
bool readText(const QJsonValue& value, bool path, std::string& out) {
    if (!value.isString()) return false;
    const QString text = value.toString();
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || (path && c == QLatin1Char('"')))
            return false;
    out = text.toStdString();
    return true;
}

template <std::size_t N>
bool readTexts(const QJsonValue& value, std::array<std::string, N>& out) {
    const QJsonArray items = value.toArray();
    if (!value.isArray() || items.size() != static_cast<qsizetype>(N)) return false;
    for (std::size_t i = 0; i < N; ++i)
        if (!readText(items[static_cast<qsizetype>(i)], true, out[i])) return false;
    return true;
}

bool readColors(const QJsonValue& value, std::array<state::Color, state::kColorCount>& out) {
    const QJsonArray items = value.toArray();
    if (!value.isArray() || items.size() != static_cast<qsizetype>(out.size())) return false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const QJsonValue item = items[static_cast<qsizetype>(i)];
        const double number = item.toDouble(-1);
        if (!item.isDouble() || number < 0 || number > 0xFFFFFF || std::floor(number) != number)
            return false;
        out[i] = static_cast<state::Color>(number);
    }
    return true;
}

}  // namespace

QByteArray writeKeptWork(const KeptWork& work) {
    const state::ThemeState& t = work.theme;
    QJsonObject theme{{"themeName", QString::fromStdString(t.themeName)},
                      {"wallpaperPath", QString::fromStdString(t.wallpaperPath)},
                      {"tileWallpaper", t.tileWallpaper},
                      {"iconPaths", array(t.iconPaths)},
                      {"pointerPaths", array(t.pointerPaths)},
                      {"soundPaths", array(t.soundPaths)},
                      {"colors", array(t.colors)},
                      {"screenSaverPath", QString::fromStdString(t.screenSaverPath)},
                      {"logoPaths", array(t.logoPaths)}};
    QJsonObject root{{"format", kFormat},
                     {"version", kVersion},
                     {"source", QString::fromStdString(work.source)},
                     {"changed", work.changed.toUTC().toString(Qt::ISODateWithMs)},
                     {"theme", theme}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<KeptWork> readKeptWork(const QByteArray& bytes) {
    if (bytes.size() > kMaxBytes) return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonObject root = document.object();
    if (root.value("format") != kFormat || root.value("version") != kVersion) return std::nullopt;
    KeptWork work;
    work.changed = QDateTime::fromString(root.value("changed").toString(), Qt::ISODateWithMs);
    if (!work.changed.isValid()) return std::nullopt;
    const QJsonValue themeValue = root.value("theme");
    const QJsonObject theme = themeValue.toObject();
    state::ThemeState& t = work.theme;
    const bool complete =
        themeValue.isObject() && readText(root.value("source"), true, work.source) &&
        readText(theme.value("themeName"), false, t.themeName) &&
        readText(theme.value("wallpaperPath"), true, t.wallpaperPath) &&
        theme.value("tileWallpaper").isBool() && readTexts(theme.value("iconPaths"), t.iconPaths) &&
        readTexts(theme.value("pointerPaths"), t.pointerPaths) &&
        readTexts(theme.value("soundPaths"), t.soundPaths) &&
        readColors(theme.value("colors"), t.colors) &&
        readText(theme.value("screenSaverPath"), true, t.screenSaverPath) &&
        readTexts(theme.value("logoPaths"), t.logoPaths);
    if (!complete) return std::nullopt;
    t.tileWallpaper = theme.value("tileWallpaper").toBool();
    return work;
}

}  // namespace window
