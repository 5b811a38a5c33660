#pragma once

#include <QFrame>
#include <QLabel>
#include <functional>
#include <memory>

#include "core/model/PictureBox.h"

namespace squadlink {

// The reflex tester's test area: painted in one of the two system colours of its model, its
// caption in the other; a press or release anywhere in it, caption included, reaches the model.
class ReflexArea : public QFrame {
    Q_OBJECT
public:
    explicit ReflexArea(QWidget* parent = nullptr);
    ~ReflexArea() override { *m_alive = false; }
    QLabel* caption() const { return m_caption; }

    using Runner = std::function<void(const std::function<void()>&)>;
    void attach(PictureBox& model, Runner run);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void refresh();

    QLabel* m_caption;
    PictureBox* m_model = nullptr;
    Runner m_run;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace squadlink
