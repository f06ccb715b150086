// SPDX-License-Identifier: MIT
#pragma once

namespace window {

class TabStrip;

/// Lets screen readers see a TabStrip as a page tab list of its tabs, and each of its pages
/// as a pane beside the list (a child of the strip's parent, a plain widget). Call it before
/// the strip's parent is named or shown; safe to call more than once.
void installTabStripAccessibility();

/// Tells screen readers that a tab of the strip became the selected one.
void notifyTabSelected(TabStrip* strip, int index);

}  // namespace window
