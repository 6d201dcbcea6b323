#pragma once

#include <QFont>
#include <QString>

namespace platform {

// A font as the controls describe it: pixel height, weight, style flags and face name.
struct FontRecord {
    enum class SystemRole { Message, Menu, Caption, Status };

    static constexpr int FW_NORMAL = 400;
    static constexpr int FW_BOLD = 700;

    // Negative: the character (em) height in pixels; positive: the cell height (ascent plus
    // descent); 0: the application font's size.
    int height = 0;
    int weight = FW_NORMAL; // 1 .. 1000, 0 = normal
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    // Rotation in tenths of a degree; QFont has none, so painting code rotates the painter.
    int escapement = 0;
    QString faceName;

    // A face this system lacks ("MS Sans Serif", "Tahoma" or any missing family) becomes the
    // application font's family.
    QFont toQFont() const;
    static FontRecord fromQFont(const QFont& font);
    // The fonts the desktop uses for message text, menus, window captions and status lines.
    static FontRecord systemFont(SystemRole role = SystemRole::Message);

    bool operator==(const FontRecord&) const = default;
};

} // namespace platform
