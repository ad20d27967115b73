#pragma once

#include "data/file_access.h"
#include "editor/editor_layout.h"
#include "text/line_splitter.h"
#include "text/text_encoding.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QPushButton;
class QTextDocument;

namespace qlq {

class ShellServices;
class TailTextEdit;

// What the editor edits: the list as the main window holds it and the file it came from.
struct TailListSource {
    QStringList tails;
    std::vector<LineEnd> lineEnds; // as the file had them
    QString file;
    TextEncoding encoding = TextEncoding::Gb18030;
    // Why the file could not be read, when it could not: the list is then not its content, and
    // the file is never overwritten from it.
    std::optional<FileProblem> readProblem;
};

// The whole tail list as one text. 保存修改 replaces the tail list file with the text, reports
// the save and closes; 取消 and the close box change nothing. A window of its own (no owner)
// that may outlive the main window. Edits still unsaved when the desktop session ends are kept
// beside the list (keepUnsavedText) and offered the next time the editor opens.
class TailEditorWindow : public QWidget {
    Q_OBJECT
public:
    TailEditorWindow(ShellServices& shell, TailListSource source, const QIcon& icon,
                     QWidget* parent = nullptr);
    ~TailEditorWindow() override;

    // The text box holds the list; until then it is read-only and 保存修改 is off. Long lists
    // arrive a moment after the window shows.
    bool textLoaded() const { return textLoaded_; }
    // The text a save writes: the edited lines, each with its line end (a lone LF stays inside
    // its tail), the last one closed as tailListTextToSave says.
    QString editorText() const;
    // The text differs from what the editor opened on (or restored), and is not saved.
    bool hasUnsavedEdits() const;
    // The session ends: unsaved edits go to the file beside the list (unsavedEditorTextFile),
    // never to the list itself. Returns false when they could not be kept.
    bool keepUnsavedText();

signals:
    // The file now holds the edited text; whoever shows the list reads it again.
    void saved();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void showDocument(QTextDocument* document);
    // Asks whether to take up the text a session end kept, if there is one.
    void offerUnsavedText();
    void buildDocument(const QString& text, bool restored);
    void layOut();
    void save();

    ShellServices& shell_;
    QString tailListFile_;
    TextEncoding encoding_;
    std::optional<FileProblem> readProblem_;
    EditorLayout layout_;
    bool textLoaded_ = false;
    bool offered_ = false; // the kept text was offered (or there was none)

    TailTextEdit* textEdit_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace qlq
