#include "BannerWidget.h"

#include <QContextMenuEvent>
#include <QHideEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QShowEvent>
#include <QTimer>
#include <string_view>
#include <system_error>

#include "ModelBinding.h"

namespace squadlink {

namespace {
constexpr int kMaxSide = 4096;

// Banners are GIF, PNG or JPEG pictures. Naming the format from the first bytes spares the
// reader from loading every image plug-in to ask each whether it knows the data.
QByteArray pictureFormat(std::string_view bytes) {
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

BannerWidget::~BannerWidget() {
    if (m_preparing.joinable()) {
        m_preparing.join();
    }
}

void BannerWidget::prepare(std::string_view picture) {
    // Only the last picture prepared is kept.
    if (m_preparing.joinable()) {
        m_preparing.join();
    }
    m_preparedProbe = Probe();
    m_prepared.assign(picture);
    try {
        m_preparing = std::thread([this] {
            // The thread has the bytes and the probe to itself until it is joined.
            QBuffer buffer;
            buffer.setData(QByteArray::fromRawData(m_prepared.data(),
                                                   static_cast<qsizetype>(m_prepared.size())));
            buffer.open(QIODevice::ReadOnly);
            m_preparedProbe = probe(buffer, true);
        });
    } catch (const std::system_error&) {
        // No thread to spare: the picture is read when it is shown, as any other.
        m_prepared.clear();
    }
}

BannerWidget::Probe BannerWidget::probe(QBuffer& buffer, bool readFirstFrame) {
    Probe result;
    const QByteArray& bytes = buffer.data();
    result.format =
        pictureFormat(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    QImageReader reader(&buffer, result.format);
    // A picture from the network decides how much memory its frames take: one far larger than
    // the strip is refused before it is decoded.
    const QSize size = reader.size();
    result.sane = !result.format.isEmpty() && size.isValid() && size.width() <= kMaxSide &&
                  size.height() <= kMaxSide;
    result.animated =
        result.sane && reader.canRead() && reader.supportsAnimation() && reader.imageCount() != 1;
    if (readFirstFrame && result.animated) {
        result.firstFrame = reader.read();
    }
    buffer.seek(0);
    return result;
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
    m_moviePending = false;
    const std::string& picture = m_view->picture();
    if (picture.empty() || showPrepared(picture)) {
        return;
    }
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(QByteArray::fromStdString(picture));
    m_buffer->open(QIODevice::ReadOnly);
    const Probe found = probe(*m_buffer, false);
    if (found.animated) {
        m_movie = std::make_unique<QMovie>(m_buffer.get(), found.format);
        if (m_movie->isValid()) {
            setMovie(m_movie.get());
            m_movie->start();
            m_movie->setPaused(!isVisible());
            return;
        }
        m_movie.reset();
    }
    QPixmap still;
    if (found.sane && still.loadFromData(m_buffer->data(), found.format.constData())) {
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

bool BannerWidget::showPrepared(const std::string& picture) {
    if (!m_preparing.joinable()) {
        return false;
    }
    m_preparing.join();
    const bool same = picture == m_prepared;
    m_prepared.clear();
    Probe prepared = std::move(m_preparedProbe);
    m_preparedProbe = Probe();
    if (!same || prepared.firstFrame.isNull()) {
        return false;
    }
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(QByteArray::fromStdString(picture));
    m_buffer->open(QIODevice::ReadOnly);
    setPixmap(QPixmap::fromImage(prepared.firstFrame));
    m_movieFormat = prepared.format;
    m_moviePending = true;
    return true;
}

void BannerWidget::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!m_moviePending) {
        return;
    }
    m_moviePending = false;
    // After the paint: the first frame is on the screen already.
    QPointer<BannerWidget> self(this);
    const unsigned shown = m_shown;
    QTimer::singleShot(0, this, [self, shown] {
        if (!self.isNull() && self->m_shown == shown && !self->m_movie && self->m_buffer) {
            self->startMovie();
        }
    });
}

void BannerWidget::startMovie() {
    m_movie = std::make_unique<QMovie>(m_buffer.get(), m_movieFormat);
    if (!m_movie->isValid()) {
        // The frame shown stays: the bytes were read once already.
        m_movie.reset();
        return;
    }
    setMovie(m_movie.get());
    m_movie->start();
    m_movie->setPaused(!isVisible());
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
