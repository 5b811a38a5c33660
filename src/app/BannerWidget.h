#pragma once

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QMovie>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "core/model/BannerView.h"

namespace squadlink {

class ModelBinding;

// Shows the banner model's picture, 472 x 64 on black: animated GIFs play, other pictures
// stand still. A left click goes to the model; the right button does nothing (no menu).
class BannerWidget : public QLabel {
    Q_OBJECT
public:
    explicit BannerWidget(QWidget* parent = nullptr);
    ~BannerWidget() override;
    void bind(BannerView& view, ModelBinding& binding);
    // Starts reading the first frame of a picture the model is about to show (the built-in
    // banner at start-up) on a thread of its own, while the rest of the window is built. When
    // the model then shows these bytes, the frame stands in the strip at once and an animation
    // starts playing after the window's first paint, from the same frame.
    void prepare(std::string_view picture);
    // The animation playing, or null for a still picture or none.
    QMovie* animation() const { return m_movie.get(); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // An animation nobody sees would wake the program a dozen times a second all evening in
    // the tray: it stands still while the strip is hidden.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What the strip learns from a picture's bytes before showing it.
    struct Probe {
        QByteArray format;
        // Readable and of a size worth decoding.
        bool sane = false;
        bool animated = false;
        // Read only when asked for.
        QImage firstFrame;
    };
    static Probe probe(QBuffer& buffer, bool readFirstFrame);
    void showPicture();
    bool showPrepared(const std::string& picture);
    void startMovie();

    BannerView* m_view = nullptr;
    ModelBinding* m_binding = nullptr;
    unsigned m_shown = 0;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QMovie> m_movie;
    // The prepared picture: its bytes, and the probe the thread fills in.
    std::string m_prepared;
    Probe m_preparedProbe;
    std::thread m_preparing;
    // The animation of a prepared picture waits for the first paint.
    bool m_moviePending = false;
    QByteArray m_movieFormat;
};

}  // namespace squadlink
