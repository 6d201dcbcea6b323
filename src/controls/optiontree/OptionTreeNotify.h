#pragma once

#include "platform/Notify.h"

class COptionTreeItem;

// Tree options.
inline constexpr unsigned OTS_SHOWINFOWINDOW = 0x01; // description pane under the list
inline constexpr unsigned OTS_NOTIFY = 0x02;         // notifications go to the owner
inline constexpr unsigned OTS_DEFINFOTEXT = 0x04;    // default texts with no focused item
inline constexpr unsigned OTS_SHADEMARGIN = 0x08;    // left margin in the button-face colour
inline constexpr unsigned OTS_SHADEROOTITEMS = 0x10; // header rows always in their own colour

// Notification codes; the owner's non-zero answer vetoes the expanding, activating and
// column-drag notifications.
inline constexpr int OTN_ITEMINSERTED = -1101;
inline constexpr int OTN_ITEMDELETING = -1102;
inline constexpr int OTN_ITEMCHANGED = -1105;
inline constexpr int OTN_SELCHANGED = -1107;
inline constexpr int OTN_ITEMEXPANDING = -1108;
inline constexpr int OTN_COLUMNDRAGSTART = -1109;
inline constexpr int OTN_ITEMACTIVATING = -1110;

// Hit-test results.
inline constexpr int OTHT_LABEL = 2024;
inline constexpr int OTHT_COLUMN = 2025;
inline constexpr int OTHT_EXPAND = 2026;
inline constexpr int OTHT_ATTRIBUTE = 2027;
inline constexpr int OTHT_NOWHERE = 2028;

// What the tree sends: the common header and the item concerned (null where the code says).
struct OptionTreeNotify : platform::NMHDR {
    COptionTreeItem* item = nullptr;
};
