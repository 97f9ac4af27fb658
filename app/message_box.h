#pragma once
// Messages to the user. A modal box by default; tests and unattended runs put
// a presenter of their own in its place, so nothing waits for a person.

#include <QString>

#include <functional>

class QWidget;

namespace app {

using MessagePresenter = std::function<void(QWidget* parent, const QString& text)>;

// Shows `text` through the current presenter. UI thread only.
void ShowMessage(QWidget* parent, const QString& text);
// The same with technical details (a library's messages, say): the box shows
// them on request; a presenter gets them after the text and a blank line.
void ShowMessage(QWidget* parent, const QString& text, const QString& details);

// Replaces the presenter; an empty one restores the modal box.
void setMessagePresenter(MessagePresenter presenter);

} // namespace app
