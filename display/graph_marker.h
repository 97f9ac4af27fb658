#pragma once
// A pinned marker on a graph: a small diamond over the point it marks, laid
// over the graph as a widget of its own, so the curves drawn under it never
// erase it. It takes no mouse input. UI thread only; its Qt parent owns it.

#include <QPoint>
#include <QWidget>

namespace display {

class GraphMarker : public QWidget {
public:
    // Half the diamond's width.
    static constexpr int kRadius = 5;

    explicit GraphMarker(QWidget* parent);
    // Centres the diamond on `at` (the parent's pixels) and shows it.
    void showAt(QPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace display
