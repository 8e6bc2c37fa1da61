// Page 2: the four page-address rows (caption, text box, change and default buttons) and the
// twelve browser property rows in two columns.

#include <QGroupBox>
#include <QLineEdit>
#include <algorithm>

#include "core/catalogue/browser_page.h"
#include "gui/pages/page_layout.h"
#include "gui/pages/page_parts.h"

namespace hivora {

namespace {

constexpr int kColumnGap = 16;

void addAddressRows(QGroupBox* frame, CatalogueServices& services) {
    const QRect area = frameContentArea(frame);
    const QSize change = imageButtonSize(kKindChange);
    const QSize reset = imageButtonSize(kKindDefault);
    const int pitch = std::min(kMaxRowPitch, area.height() / kIEPageRowCount);
    int captionWidth = 0;
    for (int row = 0; row < kIEPageRowCount; ++row) {
        const std::string_view caption = iePageCaption(row);
        captionWidth =
            std::max(captionWidth, frame->fontMetrics().horizontalAdvance(QString::fromUtf8(
                                       caption.data(), static_cast<qsizetype>(caption.size()))));
    }
    captionWidth += 4 + kMarkStrip;
    const int resetLeft = area.right() + 1 - reset.width();
    const int changeLeft = resetLeft - kButtonGap - change.width();
    const int boxLeft = area.left() + captionWidth + kCaptionGap;
    const int boxHeight = textBoxHeight(frame);

    for (int row = 0; row < kIEPageRowCount; ++row) {
        const int top = area.top() + row * pitch;
        addCaption(frame, arrayName("Label_IEPage", row), iePageCaption(row),
                   QRect(area.left(), top, captionWidth, pitch));
        QLineEdit* box = addTextBox(frame, arrayName("Text_IEPage", row),
                                    QRect(boxLeft, top + (pitch - boxHeight) / 2,
                                          changeLeft - kCaptionGap - boxLeft, boxHeight));
        addButton(frame, kKindChange, arrayName("Picture_IEPageChange", row),
                  QPoint(changeLeft, top + (pitch - change.height()) / 2), [&services, row, box] {
                      (void)runIEPageChange(services, row, box->text().toStdString());
                  });
        addButton(frame, kKindDefault, arrayName("Picture_IEPageDefault", row),
                  QPoint(resetLeft, top + (pitch - reset.height()) / 2),
                  [&services, row] { (void)runIEPageDefault(services, row); });
    }
}

}  // namespace

void buildBrowserPage(QWidget* page, PageServices& services) {
    const int width = page->width() - 2 * kPageMargin;
    QGroupBox* pages = addFrame(page, "Frame_IEPage", kIEPageFrameCaption.data(),
                                QRect(kPageMargin, kPageMargin, width, 100));
    // Four rows of a text box's height plus air, under the frame's caption.
    const int overhead = 100 - frameContentArea(pages).height();
    pages->resize(width, overhead + kIEPageRowCount * 32);
    addAddressRows(pages, services.catalogue);

    const int propertyTop = pages->geometry().bottom() + 1 + kPageMargin;
    QGroupBox* properties = addFrame(
        page, "Frame_IEProperty", kIEPropertyFrameCaption.data(),
        QRect(kPageMargin, propertyTop, width, page->height() - kPageMargin - propertyTop));
    // Twelve rows in two columns of six, so that each row has room for a wrapped caption.
    const QRect area = frameContentArea(properties);
    const int columnWidth = (area.width() - kColumnGap) / 2;
    const RowArrayNames names{"Label_IEProperty", "Picture_IEPropertySet",
                              "Picture_IEPropertyUnset"};
    addCatalogueRows(properties, QRect(area.left(), area.top(), columnWidth, area.height()),
                     {browserPropertiesCatalogue(), 0, 6, names}, services.catalogue);
    addCatalogueRows(
        properties,
        QRect(area.left() + columnWidth + kColumnGap, area.top(), columnWidth, area.height()),
        {browserPropertiesCatalogue(), 6, 6, names}, services.catalogue);
}

}  // namespace hivora
