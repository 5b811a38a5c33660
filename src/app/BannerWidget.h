#pragma once

#include <QBuffer>
#include <QLabel>
#include <QMovie>
#include <memory>

#include "core/model/BannerView.h"

namespace squadlink {

class ModelBinding;

// Shows the banner model's picture, 472 x 64 on black: animated GIFs play, other pictures
// stand still. A left click goes to the model; the right button does nothing (no menu).
class BannerWidget : public QLabel {
    Q_OBJECT
public:
    explicit BannerWidget(QWidget* parent = nullptr);
    void bind(BannerView& view, ModelBinding& binding);
    // The animation playing, or null for a still picture or none.
    QMovie* animation() const { return m_movie.get(); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // An animation nobody sees would wake the program a dozen times a second all evening in
    // the tray: it stands still while the strip is hidden.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showPicture();

    BannerView* m_view = nullptr;
    ModelBinding* m_binding = nullptr;
    unsigned m_shown = 0;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QMovie> m_movie;
};

}  // namespace squadlink
