#include "gui/systems/view_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "core/arith/rational.h"
#include "core/systems/system_text.h"
#include "gui/steps/steps_window.h"

namespace velmora {

namespace {

// One colour for each equation, in the order of the rows.
const QColor kShapeColours[] = {QColor(220, 40, 40), QColor(30, 90, 220), QColor(20, 150, 60),
                                QColor(230, 140, 0)};
constexpr int kLegendLine = 18;

QPointF At(const Point2& p) {
    return {p.x, p.y};
}

}  // namespace

ViewCanvas::ViewCanvas(QWidget* parent) : QWidget(parent) {
    setMinimumSize(480, 420);
    setCursor(Qt::OpenHandCursor);
}

void ViewCanvas::setSystem(std::optional<SystemAnalysis> analysis, std::string why) {
    analysis_ = std::move(analysis);
    why_ = std::move(why);
    update();
}

void ViewCanvas::resetCamera() {
    camera_ = Camera{};
    update();
}

Scene ViewCanvas::scene() const {
    if (!analysis_) return {};
    // Between the legend above and the position below.
    const int top = 10 + kLegendLine * analysis_->augmented.rows, bottom = 44;
    Scene s = SceneOf(*analysis_, camera_, width(), std::max(1, height() - top - bottom));
    const auto down = [&](Point2& p) { p.y += top; };
    for (auto& shape : s.shapes) std::for_each(shape.begin(), shape.end(), down);
    std::for_each(s.common.begin(), s.common.end(), down);
    std::for_each(s.crossings.begin(), s.crossings.end(), down);
    for (auto* lines : {&s.meets, &s.edges})
        for (auto& [from, to] : *lines) down(from), down(to);
    return s;
}

void ViewCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(255, 255, 250));
    if (!analysis_) {
        p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                   QString::fromStdString(why_));
        return;
    }
    const Scene s = scene();
    p.setPen(QPen(QColor(170, 170, 170), 1, Qt::DashLine));
    for (const auto& [from, to] : s.edges) p.drawLine(At(from), At(to));
    for (std::size_t k = 0; k < s.shapes.size(); ++k) {
        const QColor colour = kShapeColours[(s.rows[k] - 1) % 4];
        QPolygonF shape;
        for (const Point2& point : s.shapes[k]) shape << At(point);
        if (s.flat) {
            p.setPen(QPen(colour, 2.5));
            if (shape.size() == 2) p.drawLine(shape[0], shape[1]);
        } else {
            QColor fill = colour;
            fill.setAlpha(70);
            p.setPen(QPen(colour, 1.5));
            p.setBrush(fill);
            p.drawPolygon(shape);
        }
    }
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    for (const auto& [from, to] : s.meets) p.drawLine(At(from), At(to));
    p.setBrush(QColor(60, 60, 60));
    for (const Point2& at : s.crossings) p.drawEllipse(At(at), 3, 3);
    p.setBrush(Qt::black);
    p.setPen(QPen(Qt::black, 3.5, Qt::SolidLine, Qt::RoundCap));
    if (s.common.size() == 1) p.drawEllipse(At(s.common[0]), 5, 5);
    if (s.common.size() == 2) p.drawLine(At(s.common[0]), At(s.common[1]));

    // The legend: each equation in its colour, then the position.
    p.setPen(Qt::black);
    int y = 8;
    for (std::size_t k = 0; k < s.rows.size(); ++k) {
        p.fillRect(QRect(8, y + 3, 12, 10), kShapeColours[(s.rows[k] - 1) % 4]);
        p.drawText(QPoint(26, y + 12),
                   QString::fromStdString(EquationText(analysis_->augmented, s.rows[k])));
        y += kLegendLine;
    }
    p.drawText(QRect(8, height() - 40, width() - 16, 36),
               Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
               QString::fromStdString(PositionText(analysis_->position)));
}

void ViewCanvas::mousePressEvent(QMouseEvent* event) {
    dragFrom_ = event->position().toPoint();
}

void ViewCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint now = event->position().toPoint();
    camera_.turn += 0.01 * (now.x() - dragFrom_.x());
    camera_.tilt = std::clamp(camera_.tilt + 0.01 * (now.y() - dragFrom_.y()), -1.5, 1.5);
    dragFrom_ = now;
    update();
}

ViewWindow::ViewWindow(QWidget* owner) : QWidget(owner, Qt::Dialog) {
    setWindowTitle("Vista");
    canvas_ = new ViewCanvas(this);
    auto* reset = new QPushButton("Restablecer", this);
    cases_ = new QComboBox(this);
    cases_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    valueLabel_ = new QLabel("a =", this);
    value_ = new QLineEdit(this);
    value_->setMaximumWidth(90);
    auto* row = new QHBoxLayout;
    row->addWidget(reset);
    row->addStretch();
    row->addWidget(cases_);
    row->addWidget(valueLabel_);
    row->addWidget(value_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(canvas_, 1);
    column->addLayout(row);
    connect(reset, &QPushButton::clicked, canvas_, &ViewCanvas::resetCamera);
    connect(cases_, &QComboBox::activated, this, &ViewWindow::pickCase);
    connect(value_, &QLineEdit::editingFinished, this, &ViewWindow::typeValue);
    showDiscussion(nullptr);
    if (owner != nullptr && owner->screen() != nullptr) {
        resize(sizeHint());
        move(
            BesideOwner(owner->frameGeometry(), frameSize(), owner->screen()->availableGeometry()));
    }
}

void ViewWindow::showSystem(const Matrix& augmented) {
    if (discussion_ || !canvas_->system() || !(canvas_->system()->augmented == augmented)) {
        showDiscussion(nullptr);
        canvas_->setSystem(AnalyseSystem(augmented));
    }
}

void ViewWindow::showDiscussion(std::shared_ptr<const Discussion> discussion) {
    discussion_ = std::move(discussion);
    cases_->clear();
    for (QWidget* w : std::initializer_list<QWidget*>{cases_, valueLabel_, value_})
        w->setVisible(discussion_ != nullptr);
    if (!discussion_) return;
    // The values of a case and those where the general case's position changes.
    std::vector<DiscussionCase> valued = discussion_->cases;
    valued.insert(valued.end(), discussion_->cases[0].positionsApart.begin(),
                  discussion_->cases[0].positionsApart.end());
    // The general case at the first of 0, 1, -1, 2, -2... that is none of them.
    mpq_class general = 0;
    for (int k = 1; std::any_of(valued.begin(), valued.end(),
                                [&](const DiscussionCase& c) {
                                    return c.kind == CaseKind::Value && c.value == general;
                                });
         ++k)
        general = k % 2 ? mpq_class((k + 1) / 2) : mpq_class(-(k / 2));
    cases_->addItem(QString::fromStdString("a = " + RationalText(general) + " (caso general)"),
                    QString::fromStdString(general.get_str()));
    for (const DiscussionCase& c : valued)
        if (c.kind == CaseKind::Value)
            cases_->addItem(QString::fromStdString("a = " + RationalText(c.value)),
                            QString::fromStdString(c.value.get_str()));
    pickCase(0);
}

void ViewWindow::showNothing(const std::string& why) {
    showDiscussion(nullptr);
    canvas_->setSystem(std::nullopt, why);
}

void ViewWindow::showValue(const mpq_class& value) {
    value_->setText(QString::fromStdString(RationalText(value)));
    cases_->setCurrentIndex(cases_->findData(QString::fromStdString(value.get_str())));
    const std::optional<Matrix> m = SystemAt(*discussion_, value);
    if (!m) {
        canvas_->setSystem(std::nullopt,
                           "Para ese valor de a el sistema no cabe en fracciones de 32 bits.");
        return;
    }
    canvas_->setSystem(AnalyseSystem(*m));
}

void ViewWindow::pickCase(int index) {
    if (!discussion_ || index < 0) return;
    showValue(mpq_class(cases_->itemData(index).toString().toStdString()));
}

void ViewWindow::typeValue() {
    Fraction f;
    if (!discussion_ || ReadNumber(value_->text().toStdString(), f) != NumberReading::Ok) return;
    showValue(ToRational(f));
}

}  // namespace velmora
