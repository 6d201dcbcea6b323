#pragma once

#include "controls/optiontree/OptionTree.h"

#include <QList>
#include <QSet>

// An owner that records every notification and vetoes the codes it is told to.
class RecordingOwner : public platform::NotifyTarget {
public:
    struct Received {
        int code = 0;
        COptionTreeItem* item = nullptr;
    };

    QList<Received> received;
    QSet<int> vetoed;

    platform::LRESULT notify(const platform::NMHDR& header) override {
        received.append({header.code, static_cast<const OptionTreeNotify&>(header).item});
        return vetoed.contains(header.code) ? 1 : 0;
    }

    int count(int code) const {
        int n = 0;
        for (const Received& each : received)
            n += each.code == code ? 1 : 0;
        return n;
    }
    QList<COptionTreeItem*> itemsOf(int code) const {
        QList<COptionTreeItem*> items;
        for (const Received& each : received) {
            if (each.code == code)
                items.append(each.item);
        }
        return items;
    }
};
