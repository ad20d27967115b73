#pragma once

#include "data/editor_layout.h"
#include "text/text_encoding.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTextDocument;

namespace qlq {

class DesktopServices;
class MainWindow;

// Form5: the whole tail list as one text. It copies the main window's list when it opens and
// on 保存修改 replaces the tail list file with the text, has the main window reload its list from
// the file and closes. It is a window of its own (no owner) and may outlive the main window.
class TailEditorWindow : public QWidget {
    Q_OBJECT
public:
    TailEditorWindow(DesktopServices& desktop, MainWindow& mainWindow, QWidget* parent = nullptr);
    ~TailEditorWindow() override;

    // Text5 holds the list; until then it is read-only and 保存修改 is off. Long lists arrive a
    // moment after the window shows.
    bool textLoaded() const { return textLoaded_; }
    // The edited text, lines ended by CR LF (a lone LF stays inside its tail).
    QString editorText() const;

signals:
    void textLoadedChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void Form_Load(MainWindow& mainWindow);
    void showDocument(QTextDocument* document);
    void Form_Resize();
    void Command16_Click();

    DesktopServices& desktop_;
    QPointer<MainWindow> mainWindow_;
    QString tailListFile_;
    TextEncoding encoding_ = TextEncoding::Gb18030;
    EditorLayout layout_;
    bool textLoaded_ = false;

    QPlainTextEdit* Text5 = nullptr;
    QPushButton* Command16 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace qlq
