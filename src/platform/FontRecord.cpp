#include "platform/FontRecord.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Windows faces that font configuration would quietly map to some unrelated family.
bool isWindowsOnlyFace(const QString& face) {
    static const QStringList faces = {QStringLiteral("MS Sans Serif"), QStringLiteral("MS Shell Dlg"),
                                      QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Tahoma"),
                                      QStringLiteral("System")};
    return faces.contains(face, Qt::CaseInsensitive);
}

QString resolvedFamily(const QString& face) {
    if (face.isEmpty() || isWindowsOnlyFace(face) || !QFontDatabase::hasFamily(face))
        return QApplication::font().family();
    return face;
}

} // namespace

QFont FontRecord::toQFont() const {
    QFont font = QApplication::font();
    font.setFamilies({resolvedFamily(faceName)});
    if (height < 0) {
        font.setPixelSize(-height);
    } else if (height > 0) {
        // A cell height includes the internal leading: scale the em size by the family's
        // ratio of cell height to em height, measured at a large size.
        QFont probe = font;
        probe.setPixelSize(100);
        const int cell = QFontMetrics(probe).height();
        font.setPixelSize(std::max(1, int(std::lround(height * 100.0 / std::max(1, cell)))));
    }
    font.setWeight(QFont::Weight(std::clamp(weight == 0 ? int(FW_NORMAL) : weight, 1, 1000)));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

FontRecord FontRecord::fromQFont(const QFont& font) {
    FontRecord record;
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    record.height = -pixels;
    record.weight = font.weight();
    record.italic = font.italic();
    record.underline = font.underline();
    record.strikeOut = font.strikeOut();
    record.faceName = font.family();
    return record;
}

FontRecord FontRecord::systemFont(SystemRole role) {
    switch (role) {
    case SystemRole::Menu:
        return fromQFont(QApplication::font("QMenu"));
    case SystemRole::Caption:
        return fromQFont(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    case SystemRole::Status:
        return fromQFont(QApplication::font("QStatusBar"));
    case SystemRole::Message:
        break;
    }
    return fromQFont(QApplication::font("QMessageBox"));
}

} // namespace platform
