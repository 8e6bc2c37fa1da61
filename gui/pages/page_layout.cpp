#include "gui/pages/page_layout.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <string>

#include "core/catalogue/row_dispatch.h"
#include "gui/skin_faces.h"

namespace hivora {

namespace {}  // namespace

QSize imageButtonSize(int kind) {
    return buttonFace(releasedFace(kind)).deviceIndependentSize().toSize();
}

int captionLineHeight(const QWidget* parent) {
    const QFontMetrics metrics = parent->fontMetrics();
    return std::max(metrics.height(), metrics.boundingRect(QStringLiteral("国Ág")).height()) + 2;
}

int textBoxHeight(const QWidget* parent) {
    return captionLineHeight(parent) + 6;
}

QLineEdit* addTextBox(QWidget* parent, const QString& objectName, const QRect& rect) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setGeometry(rect);
    return box;
}

QString arrayName(const char* array, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

QGroupBox* addFrame(QWidget* page, const char* name, const char* caption, const QRect& rect) {
    auto* frame = new QGroupBox(QString::fromUtf8(caption), page);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(rect);
    return frame;
}

QRect frameContentArea(const QGroupBox* frame) {
    // The title sits in the top border; a line of the frame's font plus a margin keeps the
    // controls clear of it on every style.
    const int top = frame->fontMetrics().height() + 6;
    constexpr int kSide = 8;
    constexpr int kBottom = 6;
    return QRect(kSide, top, frame->width() - 2 * kSide, frame->height() - top - kBottom);
}

QLabel* addCaption(QWidget* parent, const QString& objectName, std::string_view text,
                   const QRect& rect) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    label->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(rect);
    return label;
}

// The stable name of the page a catalogue belongs to, for the journal's records; "" for a table
// that is none of the pages' own.
std::string pageNameOf(const PageCatalogue& catalogue) {
    for (CataloguePage page :
         {CataloguePage::Desktop, CataloguePage::Restrictions, CataloguePage::HideShow,
          CataloguePage::BrowserProperties, CataloguePage::LogonStyle}) {
        if (&pageCatalogue(page) == &catalogue) return pageName(page);
    }
    return {};
}

void addCatalogueRows(QWidget* parent, const QRect& area, const RowBlock& block,
                      CatalogueServices& services) {
    if (block.count <= 0) return;
    const PageCatalogue& catalogue = block.catalogue;
    const QSize setSize = imageButtonSize(catalogue.setKind);
    const QSize liftSize = imageButtonSize(catalogue.liftKind);
    const int pitch = std::min(kMaxRowPitch, area.height() / block.count);
    const int liftLeft = area.right() + 1 - liftSize.width();
    const int setLeft = liftLeft - kButtonGap - setSize.width();
    const int captionWidth = setLeft - kCaptionGap - area.left();

    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* next) {
        if (previous != nullptr) QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (int n = 0; n < block.count; ++n) {
        const int row = block.first + n;
        if (row < 0 || row >= static_cast<int>(catalogue.rows.size())) break;
        const int top = area.top() + n * pitch;
        const CatalogueRow& entry = catalogue.rows[static_cast<std::size_t>(row)];
        addCaption(parent, arrayName(block.names.label, row), entry.caption,
                   QRect(area.left(), top, captionWidth, pitch));

        const bool refresh = catalogue.refreshesDesktop;
        auto* set =
            new ImageButton(catalogue.setKind, arrayName(block.names.setButton, row), parent);
        set->move(setLeft, top + (pitch - setSize.height()) / 2);
        const std::string page = pageNameOf(catalogue);
        const std::string caption(entry.caption);
        // A row without effect on the registry's Windows still runs; its box adds the line that
        // says so, for the version known at the click.
        QObject::connect(
            set, &ImageButton::clicked, set,
            [&services, &entry, refresh, label = ActionLabel{page, row, "set", caption}] {
                (void)runButtonAction(services, entry.set, refresh, label,
                                      noEffectLine(entry.takesEffectOn,
                                                   services.windowsGeneration));
            });
        auto* lift =
            new ImageButton(catalogue.liftKind, arrayName(block.names.liftButton, row), parent);
        lift->move(liftLeft, top + (pitch - liftSize.height()) / 2);
        QObject::connect(
            lift, &ImageButton::clicked, lift,
            [&services, &entry, refresh, label = ActionLabel{page, row, "lift", caption}] {
                (void)runButtonAction(services, entry.lift, refresh, label,
                                      noEffectLine(entry.takesEffectOn,
                                                   services.windowsGeneration));
            });
        chain(set);
        chain(lift);
    }
}

}  // namespace hivora
