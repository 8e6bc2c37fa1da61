#include "gui/startup_view.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "core/startup/startup_captions.h"
#include "core/startup/startup_list.h"
#include "core/ui/twips.h"

namespace hivora {

using namespace startup_geometry;

namespace {

int px(double twips) {
    return twipsToPixels(static_cast<int>(std::lround(twips)));
}

QString qText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The row's tooltip: its whole command line, where it lives, its state and a missing program.
// Escaped, so that a value's text is never taken for markup.
QString tooltipOf(const StartupRow& row) {
    QStringList lines;
    for (const std::string& line : startupTooltipLines(row)) lines << qText(line).toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>%1</p>")
        .arg(lines.join(QStringLiteral("<br>")));
}

// Shows a row's state; the grey state only while the row holds it, so that a user's click on a
// recycled box never steps through grey.
void showCheckState(QCheckBox* check, int state) {
    check->setTristate(state == kGreyed);
    check->setCheckState(state == kChecked  ? Qt::Checked
                         : state == kGreyed ? Qt::PartiallyChecked
                                            : Qt::Unchecked);
}

// The list's state for Qt's (whose numbers for checked and grey are the other way round).
int listStateOf(int qtState) {
    switch (qtState) {
        case Qt::Checked:
            return kChecked;
        case Qt::PartiallyChecked:
            return kGreyed;
        default:
            return kUnchecked;
    }
}

// The widest of many texts in one font, without shaping every text: an ASCII text is estimated
// from a table of character advances, and only the texts whose estimate comes near the largest
// are measured exactly. An estimate differs from the exact width only by kerning, a pixel or two
// here and there, far less than the margin kept; so the exact widest text is among those
// measured. Texts with other characters are measured exactly at once.
class WidestText {
  public:
    explicit WidestText(const QFont& font) : m_exact(font), m_estimated(font) {
        for (int c = 0; c < 128; ++c) m_ascii[c] = m_estimated.horizontalAdvance(QChar(c));
    }

    // `text` writes a row's caption over its second argument: one buffer serves every row.
    int widest(const std::vector<StartupRow>& rows, void (*text)(const StartupRow&, std::string&)) {
        m_estimates.clear();
        m_estimates.reserve(rows.size());
        double largest = 0;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            text(rows[k], m_caption);
            const double estimate = estimateOf(m_caption);
            m_estimates.push_back({estimate, k});
            largest = std::max(largest, estimate);
        }
        const double floor = largest - std::max(kMarginPixels, largest * kMarginShare);
        const auto unlikely = [floor](const Estimate& e) { return e.width < floor; };
        m_estimates.erase(std::remove_if(m_estimates.begin(), m_estimates.end(), unlikely),
                          m_estimates.end());
        if (m_estimates.size() > kMaxMeasured) {
            std::nth_element(
                m_estimates.begin(), m_estimates.begin() + kMaxMeasured, m_estimates.end(),
                [](const Estimate& a, const Estimate& b) { return a.width > b.width; });
            m_estimates.resize(kMaxMeasured);
        }
        int widest = 0;
        for (const Estimate& e : m_estimates) {
            text(rows[e.row], m_caption);
            widest = std::max(widest, m_exact.horizontalAdvance(qText(m_caption)));
        }
        return widest;
    }

  private:
    static constexpr double kMarginPixels = 8;
    static constexpr double kMarginShare = 0.03;
    static constexpr std::size_t kMaxMeasured = 256;

    struct Estimate {
        double width;
        std::size_t row;
    };

    double estimateOf(const std::string& text) {
        double width = 0;
        for (std::size_t at = 0; at < text.size();) {
            const auto byte = static_cast<unsigned char>(text[at]);
            if (byte < 0x80) {
                width += m_ascii[byte];
                ++at;
                continue;
            }
            // Ideographs and their punctuation (the rows' marks among them) keep one advance
            // each whatever stands beside them; other scripts may join, so they are measured.
            // That range is all three-byte UTF-8: decoded here without a QString per character,
            // as every row's marks are such characters. Anything else, or a broken sequence, is
            // measured exactly.
            const auto continuation = [&](std::size_t k) {
                return k < text.size() && (static_cast<unsigned char>(text[k]) & 0xC0) == 0x80;
            };
            if ((byte & 0xF0) != 0xE0 || !continuation(at + 1) || !continuation(at + 2))
                return m_exact.horizontalAdvance(qText(text));
            const char32_t point =
                (char32_t(byte & 0x0F) << 12) |
                (char32_t(static_cast<unsigned char>(text[at + 1]) & 0x3F) << 6) |
                char32_t(static_cast<unsigned char>(text[at + 2]) & 0x3F);
            if (point < 0x2E80 || point > 0xFFEF) return m_exact.horizontalAdvance(qText(text));
            auto [slot, fresh] = m_wide.try_emplace(point, 0.0);
            if (fresh) slot->second = m_estimated.horizontalAdvance(qText(text.substr(at, 3)));
            width += slot->second;
            at += 3;
        }
        return width;
    }

    QFontMetrics m_exact;
    QFontMetricsF m_estimated;
    double m_ascii[128] = {};
    std::unordered_map<char32_t, double> m_wide;  // advances of the ideographs met so far
    std::vector<Estimate> m_estimates;
    std::string m_caption;
};

}  // namespace

StartupView::StartupView(StartupList& list, QWidget* parent) : QWidget(parent), m_list(list) {
    setObjectName(QStringLiteral("Picture_PowerStartBackgound"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("Picture_PowerStart"));

    const int poolSize = startupMaxRowsInSight(kViewFullHeight);
    m_slots.resize(static_cast<std::size_t>(poolSize));
    for (Slot& slot : m_slots) {
        slot.check = new QCheckBox(m_content);
        slot.check->setFixedSize(twipsToPixels(kCheckSize), twipsToPixels(kCheckSize));
        slot.data = makeLabel();
        slot.name = makeLabel();
        // The user's click goes to the list; a slot never outlives the view, nor moves.
        connect(slot.check, &QCheckBox::stateChanged, this, [this, &slot](int state) {
            if (slot.row < 0) return;
            m_list.setCheckState(static_cast<std::size_t>(slot.row), listStateOf(state));
        });
        hideSlot(slot);
    }
    reset();
}

QLabel* StartupView::makeLabel() {
    auto* label = new QLabel(m_content);
    label->setTextFormat(Qt::PlainText);  // a value name like "<b>" is text, not markup
    label->setMargin(0);
    label->setIndent(0);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void StartupView::hideSlot(Slot& slot) {
    slot.row = -1;
    slot.check->hide();
    slot.name->hide();
    slot.data->hide();
}

void StartupView::reset() {
    for (Slot& slot : m_slots) hideSlot(slot);
    m_layout = StartupViewLayout{};
    m_contentLeft = 0;
    m_contentTop = 0;
    resize(twipsToPixels(kViewFullWidth), twipsToPixels(kViewFullHeight));
    m_content->setGeometry(0, 0, 0, 0);
}

const StartupViewLayout& StartupView::layOut() {
    WidestText measure(font());
    using Caption = void (*)(const StartupRow&, std::string&);
    const int widestName = measure.widest(m_list.rows(), Caption{&startupNameCaptionAtMost});
    const int widestData = measure.widest(m_list.rows(), Caption{&startupDataCaption});
    const int rowCount = static_cast<int>(std::min<std::size_t>(m_list.size(), 32767));
    m_layout = layOutStartupView(rowCount, pixelsToTwips(widestName), pixelsToTwips(widestData));

    resize(px(m_layout.viewWidth), px(m_layout.viewHeight));
    m_contentLeft = 0;
    m_contentTop = 0;
    m_content->setGeometry(0, 0, px(m_layout.contentWidth), px(m_layout.contentHeight));
    for (Slot& slot : m_slots) hideSlot(slot);  // the rows were read again: bind afresh
    placeRows();
    return m_layout;
}

void StartupView::setContentLeft(double twips) {
    m_contentLeft = static_cast<int>(std::lround(twips));
    m_content->move(px(m_contentLeft), px(m_contentTop));
}

void StartupView::setContentTop(double twips) {
    m_contentTop = static_cast<int>(std::lround(twips));
    m_content->move(px(m_contentLeft), px(m_contentTop));
    placeRows();
}

void StartupView::placeRows() {
    const int rowCount = static_cast<int>(std::min<std::size_t>(m_list.size(), 32767));
    const StartupRowSpan span = startupRowsInSight(rowCount, -m_contentTop, m_layout.viewHeight);
    for (Slot& slot : m_slots) {
        if (slot.row >= 0 && (slot.row < span.first || slot.row >= span.first + span.count)) {
            hideSlot(slot);
        }
    }
    for (int row = span.first; row < span.first + span.count; ++row) {
        Slot& slot = slotFor(row);
        if (slot.row != row) bind(slot, row);
    }
}

void StartupView::bind(Slot& slot, int row) {
    const StartupRow& data = m_list.markedRow(static_cast<std::size_t>(row));
    slot.row = row;
    const QFontMetrics metrics(font());
    const QString index = QString::number(row);
    const QString tip = tooltipOf(data);

    slot.check->setObjectName(QStringLiteral("Check_PowerStart(%1)").arg(index));
    {
        const QSignalBlocker quiet(slot.check);  // the list already holds this state
        showCheckState(slot.check, data.checkState);
    }
    slot.check->move(twipsToPixels(kCheckLeft), twipsToPixels(startupCheckTop(row)));
    slot.check->setToolTip(tip);
    slot.check->show();

    const auto placeLabel = [&](QLabel* label, const QString& name, const std::string& text,
                                int left, bool isName) {
        const QString caption = qText(text);
        label->setObjectName(name.arg(index));
        label->setText(caption);
        label->setToolTip(tip);
        const int height = metrics.height();
        const double top = startupLabelTop(row, pixelsToTwips(height), isName);
        label->setGeometry(px(left), px(top), metrics.horizontalAdvance(caption), height);
        label->show();
    };
    placeLabel(slot.name, QStringLiteral("Label_PowerStartName(%1)"), startupNameCaption(data),
               kNameLeft, true);
    placeLabel(slot.data, QStringLiteral("Label_PowerStartValue(%1)"), startupDataCaption(data),
               m_layout.dataLeft, false);
}

void StartupView::contextMenuEvent(QContextMenuEvent* event) {
    // Rows stand kRowPitch apart from the content's top; the check box sits inside its row's band.
    const int down = pixelsToTwips(event->pos().y() - m_content->y());
    const int rowCount = static_cast<int>(std::min<std::size_t>(m_list.size(), 32767));
    const int row = down >= 0 ? down / kRowPitch : -1;
    if (row < 0 || row >= rowCount) return;
    event->accept();
    emit rowMenuRequested(row, event->globalPos());
}

void StartupView::rebindRowsInSight() {
    for (Slot& slot : m_slots) {
        if (slot.row >= 0 && static_cast<std::size_t>(slot.row) < m_list.size())
            bind(slot, slot.row);
    }
}

void StartupView::syncChecks() {
    for (Slot& slot : m_slots) {
        if (slot.row < 0 || static_cast<std::size_t>(slot.row) >= m_list.size()) continue;
        const QSignalBlocker quiet(slot.check);
        const int state = m_list.rows()[static_cast<std::size_t>(slot.row)].checkState;
        showCheckState(slot.check, state);
    }
}

}  // namespace hivora
