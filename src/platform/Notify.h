#pragma once

#include <QtGlobal>

class QObject;

// Notifications a control sends to its owner: a record that starts with the common header,
// delivered synchronously so the owner's answer can veto the action.
namespace platform {

using LRESULT = qintptr;

struct NMHDR {
    QObject* hwndFrom = nullptr; // the sending control
    int idFrom = 0;              // its control id
    int code = 0;                // NM_*, LVN_* or the control's own codes
};

// Common codes.
inline constexpr int NM_FIRST = 0;
inline constexpr int NM_OUTOFMEMORY = NM_FIRST - 1;
inline constexpr int NM_CLICK = NM_FIRST - 2;
inline constexpr int NM_DBLCLK = NM_FIRST - 3;
inline constexpr int NM_RETURN = NM_FIRST - 4;
inline constexpr int NM_RCLICK = NM_FIRST - 5;
inline constexpr int NM_RDBLCLK = NM_FIRST - 6;
inline constexpr int NM_SETFOCUS = NM_FIRST - 7;
inline constexpr int NM_KILLFOCUS = NM_FIRST - 8;

// List-view codes, used by the grid.
inline constexpr int LVN_FIRST = -100;
inline constexpr int LVN_ITEMCHANGING = LVN_FIRST - 0;
inline constexpr int LVN_ITEMCHANGED = LVN_FIRST - 1;
inline constexpr int LVN_BEGINLABELEDIT = LVN_FIRST - 5;
inline constexpr int LVN_ENDLABELEDIT = LVN_FIRST - 6;
inline constexpr int LVN_COLUMNCLICK = LVN_FIRST - 8;
inline constexpr int LVN_BEGINDRAG = LVN_FIRST - 9;
inline constexpr int LVN_ODCACHEHINT = LVN_FIRST - 13;
inline constexpr int LVN_GETDISPINFO = LVN_FIRST - 50;

// The owner side of a control. The record passed is the header at the start of a larger
// notification record when the code says so (the receiver casts by code).
class NotifyTarget {
public:
    virtual ~NotifyTarget();
    virtual LRESULT notify(const NMHDR& header) = 0;
};

// Sends header to target and returns its answer; 0 when there is no target.
inline LRESULT sendNotify(NotifyTarget* target, const NMHDR& header) {
    return target ? target->notify(header) : 0;
}

} // namespace platform
