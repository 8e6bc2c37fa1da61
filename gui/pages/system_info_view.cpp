// Page 4: the nine special-folder rows (caption, text box, browse button, apply button) and the
// registration info (three captioned text boxes and one apply button).

#include <QGroupBox>
#include <QLineEdit>
#include <algorithm>

#include "core/catalogue/system_info_page.h"
#include "gui/pages/page_layout.h"
#include "gui/pages/page_parts.h"
#include "gui/skin_faces.h"

namespace hivora {

namespace {

// The browse button of a special-folder row: the two faces of its own image list (1 at rest,
// 2 while held), otherwise an image button like the others.
class BrowseButton : public ImageButton {
  public:
    BrowseButton(const QString& objectName, QWidget* parent)
        : ImageButton(kFaceKind, objectName, parent) {
        const QPixmap resting = face(releasedFace(kFaceKind));
        setPixmap(resting);
        setFixedSize(resting.deviceIndependentSize().toSize());
        clearMask();
    }

  protected:
    QPixmap face(int number) const override { return sysDirFace(number); }

  private:
    // Kind 0's faces are numbers 1 and 2: exactly the two pictures of the browse list.
    static constexpr int kFaceKind = 0;
};

int widestCaption(const QWidget* parent, int count, std::string_view (*caption)(int)) {
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        const std::string_view text = caption(i);
        widest = std::max(widest, parent->fontMetrics().horizontalAdvance(QString::fromUtf8(
                                      text.data(), static_cast<qsizetype>(text.size()))));
    }
    return widest + 4 + kMarkStrip;
}

void addFolderRows(QGroupBox* frame, CatalogueServices& services) {
    const QRect area = frameContentArea(frame);
    const QSize apply = imageButtonSize(kKindApply);
    const QSize browse = sysDirFace(1).deviceIndependentSize().toSize();
    const int pitch = std::min(kMaxRowPitch, area.height() / kSysDirRowCount);
    const int captionWidth = widestCaption(frame, kSysDirRowCount, sysDirCaption);
    const int applyLeft = area.right() + 1 - apply.width();
    const int browseLeft = applyLeft - kCaptionGap - browse.width();
    const int boxLeft = area.left() + captionWidth + kCaptionGap;
    const int boxHeight = textBoxHeight(frame);

    for (int row = 0; row < kSysDirRowCount; ++row) {
        const int top = area.top() + row * pitch;
        addCaption(frame, arrayName("Label_SysDir", row), sysDirCaption(row),
                   QRect(area.left(), top, captionWidth, pitch));
        QLineEdit* box = addTextBox(frame, arrayName("Text_SysDir", row),
                                    QRect(boxLeft, top + (pitch - boxHeight) / 2,
                                          browseLeft - kButtonGap - boxLeft, boxHeight));
        auto* browseButton = new BrowseButton(arrayName("Picture_SysDir", row), frame);
        browseButton->move(browseLeft, top + (pitch - browse.height()) / 2);
        QObject::connect(browseButton, &ImageButton::clicked, browseButton, [&services, box] {
            if (std::optional<std::string> folder = runSysDirBrowse(services))
                box->setText(QString::fromStdString(*folder));
        });
        addButton(frame, kKindApply, arrayName("Picture_SysDirChange", row),
                  QPoint(applyLeft, top + (pitch - apply.height()) / 2), [&services, row, box] {
                      (void)runSysDirApply(services, row, box->text().toStdString());
                  });
    }
}

std::string_view registrationCaption(int row) {
    switch (row) {
        case 0:
            return kOwnerCaption;
        case 1:
            return kOrganisationCaption;
        default:
            return kComputerNameCaption;
    }
}

void addRegistrationRows(QGroupBox* frame, CatalogueServices& services) {
    const QRect area = frameContentArea(frame);
    const QSize apply = imageButtonSize(kKindSet);
    const int pitch = std::min(kMaxRowPitch, area.height() / 3);
    const int captionWidth = widestCaption(frame, 3, registrationCaption);
    const int boxLeft = area.left() + captionWidth + kCaptionGap;
    const int boxWidth =
        std::min(320, area.width() - captionWidth - 2 * kCaptionGap - apply.width());
    const int boxHeight = textBoxHeight(frame);

    QLineEdit* boxes[3] = {};
    for (int row = 0; row < 3; ++row) {
        const int top = area.top() + row * pitch;
        addCaption(frame, QStringLiteral("Label%1").arg(row + 1), registrationCaption(row),
                   QRect(area.left(), top, captionWidth, pitch));
        boxes[row] = addTextBox(frame, QStringLiteral("Text%1").arg(row + 1),
                                QRect(boxLeft, top + (pitch - boxHeight) / 2, boxWidth, boxHeight));
    }
    // The one apply button stands beside the last row, the computer name it confirms.
    const int lastTop = area.top() + 2 * pitch;
    addButton(frame, kKindSet, QStringLiteral("Picture_RegTo"),
              QPoint(boxLeft + boxWidth + kCaptionGap, lastTop + (pitch - apply.height()) / 2),
              [&services, boxes] {
                  (void)runRegToApply(services, boxes[0]->text().toStdString(),
                                      boxes[1]->text().toStdString(),
                                      boxes[2]->text().toStdString());
              });
}

}  // namespace

void buildSystemInfoPage(QWidget* page, PageServices& services) {
    const int width = page->width() - 2 * kPageMargin;
    QGroupBox* folders = addFrame(page, "Frame_SysDir", kSysDirFrameCaption.data(),
                                  QRect(kPageMargin, kPageMargin, width, 100));
    const int overhead = 100 - frameContentArea(folders).height();
    folders->resize(width, overhead + kSysDirRowCount * 31);
    addFolderRows(folders, services.catalogue);

    const int regTop = folders->geometry().bottom() + 1 + kPageMargin;
    QGroupBox* registration =
        addFrame(page, "Frame_RegTo", kRegToFrameCaption.data(),
                 QRect(kPageMargin, regTop, width, page->height() - kPageMargin - regTop));
    addRegistrationRows(registration, services.catalogue);
}

}  // namespace hivora
