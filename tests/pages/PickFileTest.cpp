// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "fakes/ScriptedCommonDialog.h"
#include "pages/PickFile.h"

// Every page's pick goes through pickFile: an answer that would break a theme or batch line
// ends as a cancel, so no slot ever holds it.
TEST(PickFile, AnswersThatWouldBreakALineEndAsACancel) {
    for (const char* answer : {"C:\\a\" & del *.* & \"b.sys", "C:\\two\r\nlines.ico"}) {
        fakes::ScriptedCommonDialog dialog;
        dialog.openAnswers.push_back(answer);
        std::string slot = "C:\\Old.ico";
        EXPECT_FALSE(pages::pickTestThenStore(dialog, "Icons", "*.ico", slot)) << answer;
        EXPECT_EQ(slot, "C:\\Old.ico") << answer;
    }
    fakes::ScriptedCommonDialog dialog;
    dialog.openAnswers.push_back("C:\\Art\\Sky.ico");
    EXPECT_EQ(pages::pickFile(dialog, "Icons", "*.ico"), "C:\\Art\\Sky.ico");
}
