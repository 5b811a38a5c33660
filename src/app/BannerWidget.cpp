#include "BannerWidget.h"

#include <QContextMenuEvent>
#include <QHideEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QPointer>
#include <QShowEvent>
#include <QTimer>
#include <string_view>

#include "ModelBinding.h"

namespace squadlink {

namespace {
constexpr int kMaxSide = 4096;

// Banners are GIF, PNG or JPEG pictures. Naming the format from the first bytes spares the
// reader from loading every image plug-in to ask each whether it knows the data.
QByteArray pictureFormat(const std::string& bytes) {
    const auto startsWith = [&bytes](std::string_view magic) {
        return bytes.compare(0, magic.size(), magic) == 0;
    };
    if (startsWith("GIF87a") || startsWith("GIF89a")) {
        return QByteArrayLiteral("gif");
    }
    if (startsWith("\x89PNG\r\n\x1a\n")) {
        return QByteArrayLiteral("png");
    }
    if (startsWith("\xff\xd8\xff")) {
        return QByteArrayLiteral("jpeg");
    }
    return {};
}
}  // namespace

BannerWidget::BannerWidget(QWidget* parent) : QLabel(parent) {
    setFixedSize(BannerView::kWidth, BannerView::kHeight);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAccessibleName(QStringLiteral("Banner"));
}

void BannerWidget::bind(BannerView& view, ModelBinding& binding) {
    m_view = &view;
    m_binding = &binding;
    QPointer<BannerWidget> self(this);
    view.changed.connect([self] {
        if (!self.isNull()) {
            self->showPicture();
        }
    });
    showPicture();
}

void BannerWidget::showPicture() {
    if (m_view == nullptr) {
        return;
    }
    setVisible(m_view->visible());
    if (m_view->navigations() == m_shown) {
        return;
    }
    m_shown = m_view->navigations();
    clear();
    m_movie.reset();
    m_buffer.reset();
    const std::string& picture = m_view->picture();
    if (picture.empty()) {
        return;
    }
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(QByteArray::fromStdString(picture));
    m_buffer->open(QIODevice::ReadOnly);
    const QByteArray format = pictureFormat(picture);
    QImageReader reader(m_buffer.get(), format);
    // A picture from the network decides how much memory its frames take: one far larger than
    // the strip is refused before it is decoded.
    const QSize size = reader.size();
    const bool sane = !format.isEmpty() && size.isValid() && size.width() <= kMaxSide &&
                      size.height() <= kMaxSide;
    const bool animated =
        sane && reader.canRead() && reader.supportsAnimation() && reader.imageCount() != 1;
    m_buffer->seek(0);
    if (animated) {
        m_movie = std::make_unique<QMovie>(m_buffer.get(), format);
        if (m_movie->isValid()) {
            setMovie(m_movie.get());
            m_movie->start();
            m_movie->setPaused(!isVisible());
            return;
        }
        m_movie.reset();
    }
    QPixmap still;
    if (sane && still.loadFromData(m_buffer->data(), format.constData())) {
        setPixmap(still);
        return;
    }
    m_buffer.reset();
    // Reported once the model has finished changing, like a browser's navigation error.
    QPointer<BannerWidget> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self.isNull() && self->m_view != nullptr) {
            self->m_binding->run([view = self->m_view] { view->navigateError(); });
        }
    });
}

void BannerWidget::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_view != nullptr && rect().contains(event->pos())) {
        m_binding->run([view = m_view] { view->click(); });
    }
}

void BannerWidget::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
}

void BannerWidget::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    // A movie that has played to its end stays on its last frame.
    if (m_movie && m_movie->state() == QMovie::Paused) {
        m_movie->setPaused(false);
    }
}

void BannerWidget::hideEvent(QHideEvent* event) {
    QLabel::hideEvent(event);
    if (m_movie) {
        m_movie->setPaused(true);
    }
}

}  // namespace squadlink
