#pragma once
// The list line of a reference as the reference windows draw it (and the locate dialog will): the
// tag box, the status image, the reference's number and its one-line text with its markup codes,
// the title shortened so that the line fits, the words of the last search in their colours.

#include "refstore/ReferenceFile.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <string>
#include <string_view>

class QPainter;

namespace cvx {

struct LinePalette {
    QColor text;
    QColor muted;  // the reference's number
    QColor getHit; // words found by the last find
    QColor tagHit; // words found by the last tagging
};

struct LineContent {
    bool showTagBox = true;
    bool tagged = false;
    RefStatus status = RefStatus::FormallyCorrect;
    QString number;   // the reference's number as the user counts it
    std::string text; // the one-line text (ListLine.h), code page 1252 with its codes
};

class ReferenceLinePainter {
public:
    explicit ReferenceLinePainter(const QFont& base);

    const QFont& Font() const { return base_; }
    // The height of a row: the text "Ôj" with the font's leading and three pixels.
    int RowHeight() const;
    // The width the number column needs for numbers of `digits` digits.
    int NumberWidth(int digits) const;

    // Width in pixels of marked-up text drawn in the base font.
    int Measure(std::string_view coded) const;
    // Draws marked-up text with its top at `top`; returns the x after it.
    int DrawCoded(QPainter& painter, int x, int top, std::string_view coded,
                  const LinePalette& palette) const;
    // Draws one row of the list into `rect`, the number column `numberWidth` pixels wide.
    void DrawLine(QPainter& painter, const QRect& rect, int numberWidth, const LineContent& line,
                  const LinePalette& palette) const;

    // Where in a row the tag box lies, for the click that toggles the tag.
    static constexpr int kTagBoxZone = 20;

private:
    int ImageSize() const;

    QFont base_;
};

// The status images of a reference (well formed, suspect, ruined, deleted) and the tag box,
// painted for the screen's pixel ratio.
QPixmap StatusImage(RefStatus status, int size, qreal pixelRatio);
QPixmap TagBoxImage(bool tagged, int size, qreal pixelRatio);

} // namespace cvx
