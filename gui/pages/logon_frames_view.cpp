// Page 0's logon frames: Frame_LoginShow (picture and colour previews of the logon screen with
// their select and default buttons) left of the startup frame, and Frame_LoginStyle (four switch
// rows) under both.

#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <algorithm>

#include "core/catalogue/logon_page.h"
#include "core/catalogue/windows_version.h"
#include "gui/color_value.h"
#include "gui/pages/page_layout.h"
#include "gui/pages/page_parts.h"

namespace hivora {

namespace {

constexpr int kPreviewWidth = 140;
constexpr int kPictureHeight = 96;
constexpr int kSwatchHeight = 48;

void fillWith(QLabel* preview, const QColor& color) {
    QPalette palette = preview->palette();
    palette.setColor(QPalette::Window, color);
    preview->setPalette(palette);
    preview->setAutoFillBackground(true);
}

// Shows `picture` in the preview and its name under it. A file that does not load leaves the
// preview without a picture on the default colour; the name stays.
void showPicture(QWidget* frame, const LogonPicturePreview& picture) {
    auto* preview = frame->findChild<QLabel*>(QStringLiteral("Picture_LoginShowBackPic"));
    auto* name = frame->findChild<QLabel*>(QStringLiteral("Label_BackgroundTips"));
    if (preview == nullptr || name == nullptr) return;
    QPixmap pixmap;
    if (!picture.pictureFile.empty()) pixmap.load(QString::fromStdString(picture.pictureFile));
    preview->setPixmap(pixmap);
    fillWith(preview, qColorOf(kDefaultLogonColor));
    // A long file name is shortened in the middle to fit; the whole name is the tip.
    const QString full = QString::fromStdString(picture.label);
    name->setToolTip(full);
    name->setText(name->fontMetrics().elidedText(full, Qt::ElideMiddle, name->width()));
}

void showColor(QWidget* frame, std::int32_t color) {
    if (auto* swatch = frame->findChild<QLabel*>(QStringLiteral("Picture_LoginShowBackColor")))
        fillWith(swatch, qColorOf(color));
}

bool loadablePicture(const std::string& hostPath) {
    QImageReader reader(QString::fromStdString(hostPath));
    return reader.canRead();
}

QLabel* addPreview(QWidget* parent, const char* name, const QRect& rect) {
    auto* preview = new QLabel(parent);
    preview->setObjectName(QLatin1String(name));
    preview->setFrameShape(QFrame::Box);
    preview->setScaledContents(true);
    preview->setGeometry(rect);
    return preview;
}

void addAppearance(QGroupBox* frame, CatalogueServices& services) {
    const QRect area = frameContentArea(frame);
    const QSize select = imageButtonSize(kKindChoose);
    const int lineHeight = captionLineHeight(frame);
    const int buttonLeft = area.right() + 1 - select.width();
    int top = area.top();

    QLabel* background = addCaption(frame, QStringLiteral("Label_Background"), kBackgroundCaption,
                                    QRect(area.left(), top, area.width(), lineHeight));
    // The frame's reach, in words beside its first caption (so not by colour alone), on the rest
    // of that line.
    const int captionWidth =
        std::min(area.width(), background->fontMetrics().horizontalAdvance(background->text()) + 8);
    background->resize(captionWidth, lineHeight);
    QLabel* reach =
        addCaption(frame, QStringLiteral("Label_LoginShowReach"), "",
                   QRect(area.left() + captionWidth, top, area.width() - captionWidth, lineHeight));
    reach->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    reach->setWordWrap(false);
    reach->hide();
    top += lineHeight + 2;
    fillWith(addPreview(frame, "Picture_LoginShowBackPic",
                        QRect(area.left(), top, kPreviewWidth, kPictureHeight)),
             qColorOf(kDefaultLogonColor));
    addButton(frame, kKindChoose, QStringLiteral("Picture_BackgroundSel"), QPoint(buttonLeft, top),
              [&services, frame] {
                  const LogonPictureResult result =
                      runLogonPictureSelect(services, loadablePicture);
                  if (result.picture) showPicture(frame, *result.picture);
              });
    addButton(frame, kKindDefault, QStringLiteral("Picture_BackgroundDef"),
              QPoint(buttonLeft, top + select.height() + kButtonGap), [&services, frame] {
                  const LogonPictureResult result = runLogonPictureDefault(services);
                  if (result.picture) showPicture(frame, *result.picture);
              });
    top += kPictureHeight + 2;
    addCaption(frame, QStringLiteral("Label_BackgroundTips"), kNoPictureLabel,
               QRect(area.left(), top, area.width(), lineHeight));
    top += lineHeight + 8;

    addCaption(frame, QStringLiteral("Label_BackColor"), kBackColorCaption,
               QRect(area.left(), top, area.width(), lineHeight));
    top += lineHeight + 2;
    fillWith(addPreview(frame, "Picture_LoginShowBackColor",
                        QRect(area.left(), top, kPreviewWidth, kSwatchHeight)),
             qColorOf(kDefaultLogonColor));
    addButton(frame, kKindChoose, QStringLiteral("Picture_BackColorSel"), QPoint(buttonLeft, top),
              [&services, frame] {
                  const LogonColorResult result = runLogonColorSelect(services);
                  if (result.color) showColor(frame, *result.color);
              });
    addButton(frame, kKindDefault, QStringLiteral("Picture_BackColorDef"),
              QPoint(buttonLeft, top + select.height() + kButtonGap), [&services, frame] {
                  const LogonColorResult result = runLogonColorDefault(services);
                  if (result.color) showColor(frame, *result.color);
              });
}

}  // namespace

void showLogonAppearance(QWidget* page, PageServices& services) {
    auto* frame = page->findChild<QGroupBox*>(QStringLiteral("Frame_LoginShow"));
    if (frame == nullptr) return;
    const LogonAppearance appearance = ShowLogonAppearance(services.catalogue);
    showPicture(frame, appearance.picture);
    showColor(frame, appearance.backColor);
}

void markLogonAppearance(QWidget* page, WindowsGeneration generation) {
    auto* reach = page->findChild<QLabel*>(QStringLiteral("Label_LoginShowReach"));
    if (reach == nullptr) return;
    const std::string line = noEffectLine(kLogonAppearanceTakesEffectOn, generation);
    // Short enough for the frame's narrow line; the tooltip names the versions.
    reach->setText(line.empty() ? QString() : QStringLiteral("⊘ 对此 Windows 无效"));
    reach->setVisible(!line.empty());
    // The whole frame says why, wherever the pointer rests on it.
    reach->parentWidget()->setToolTip(QString::fromStdString(line));
}

void buildLogonFrames(QWidget* page, PageServices& services) {
    const QRect startup = startupFrameArea();
    QGroupBox* show = addFrame(
        page, "Frame_LoginShow", kLogonShowFrameCaption.data(),
        QRect(kPageMargin, startup.top(), startup.left() - 2 * kPageMargin, startup.height()));
    addAppearance(show, services.catalogue);

    const int styleTop = startup.bottom() + 1 + kPageMargin;
    QGroupBox* style = addFrame(page, "Frame_LoginStyle", kLogonStyleFrameCaption.data(),
                                QRect(kPageMargin, styleTop, page->width() - 2 * kPageMargin,
                                      page->height() - kPageMargin - styleTop));
    addCatalogueRows(style, frameContentArea(style),
                     {logonStyleCatalogue(),
                      0,
                      4,
                      {"Label_LoginStyle", "Picture_LoginStyle2", "Picture_LoginStyle1"}},
                     services.catalogue);
}

}  // namespace hivora
