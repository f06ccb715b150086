// SPDX-License-Identifier: MIT
#pragma once

namespace window {

class TabStrip;

/// Lets screen readers see a TabStrip as a page tab list of its tabs, and each of its pages
/// as a property page. Safe to call more than once.
void installTabStripAccessibility();

/// Tells screen readers that a tab of the strip became the selected one.
void notifyTabSelected(TabStrip* strip, int index);

}  // namespace window
