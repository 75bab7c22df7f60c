#include "about_dialog.h"

#include "frame_text.h"
#include "image_names.h"
#include "string_table.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSysInfo>
#include <QTransform>
#include <QVBoxLayout>

namespace corvex {
namespace {

constexpr int kPictureSize = 64;
constexpr int kFrameMs = 40;
constexpr int kDegreesPerFrame = 9;

QPixmap turnedPicture(int angle) {
    const QPixmap source =
        QPixmap(image::kFrameIcon)
            .scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap canvas(kPictureSize, kPictureSize);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(kPictureSize / 2.0, kPictureSize / 2.0);
    painter.rotate(angle);
    painter.drawPixmap(-kPictureSize / 2, -kPictureSize / 2, source);
    return canvas;
}

Rect toRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("About");
    setWindowTitle(tr("About %1").arg(qs(loadString(str::kProductCaption))));

    picture_ = new QLabel;
    picture_->setObjectName("control502");
    picture_->setPixmap(turnedPicture(0));
    picture_->setFixedSize(kPictureSize, kPictureSize);
    picture_->setCursor(Qt::PointingHandCursor);
    picture_->installEventFilter(this);

    auto* caption = new QLabel(qs(loadString(str::kProductCaption)));
    caption->setObjectName("control1291");
    QFont large = caption->font();
    large.setPointSizeF(large.pointSizeF() * 2.0);
    large.setBold(true);
    caption->setFont(large);
    auto* version = new QLabel(versionText());
    version->setObjectName("control1292");
    auto* build = new QLabel(buildText());
    build->setObjectName("control1293");

    ok_ = new QPushButton(tr("OK"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(caption);
    texts->addWidget(version);
    texts->addWidget(build);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picture_, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(48); // room for the button to run
    layout->addWidget(ok_, 0, Qt::AlignRight);
    setMinimumSize(380, 220);

    animation_.setInterval(kFrameMs);
    connect(&animation_, &QTimer::timeout, this, &AboutDialog::turnPicture);
}

QString AboutDialog::versionText() {
    return qs(formatString(loadString(str::kVersionFormat), {CVX_VERSION}));
}

QString AboutDialog::buildText() {
    const QString cpu = QSysInfo::buildCpuArchitecture();
    const QString shown = cpu == QLatin1String("x86_64") ? QStringLiteral("x64") : cpu;
    return qs(formatString(loadString(str::kBuildFormat), {shown.toStdString()}));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::MouseButtonPress) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (click->button() == Qt::LeftButton && !animating()) {
            startAnimation();
        } else if (click->button() == Qt::RightButton && animating()) {
            stopAnimation();
        }
        return true;
    }
    if (animating() && event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget) {
            dodge(widget->mapTo(this, move->position().toPoint()));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::startAnimation() {
    okHome_ = ok_->pos();
    lastCursor_ = mapFromGlobal(QCursor::pos());
    dodge_ = std::make_unique<ButtonDodge>(toRect(rect()), toRect(picture_->geometry()));
    // Mouse moves over any child come here while the picture turns.
    setMouseTracking(true);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
    installEventFilter(this);
    animation_.start();
}

void AboutDialog::stopAnimation() {
    animation_.stop();
    angle_ = 0;
    picture_->setPixmap(turnedPicture(0));
    ok_->move(okHome_);
    dodge_.reset();
}

void AboutDialog::turnPicture() {
    angle_ = (angle_ + kDegreesPerFrame) % 360;
    picture_->setPixmap(turnedPicture(angle_));
}

void AboutDialog::dodge(QPoint cursor) {
    if (!dodge_) {
        return;
    }
    const Rect now = toRect(ok_->geometry());
    const Rect next =
        dodge_->react(now, {cursor.x(), cursor.y()}, {lastCursor_.x(), lastCursor_.y()});
    lastCursor_ = cursor;
    if (!(next == now)) {
        ok_->move(next.x, next.y);
    }
}

} // namespace corvex
