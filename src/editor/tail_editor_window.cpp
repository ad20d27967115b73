#include "editor/tail_editor_window.h"

#include "config/log_categories.h"
#include "data/tail_list_text.h"
#include "data/tail_list_writer.h"
#include "editor/editor_document_builder.h"
#include "editor/tail_editor_names.h"
#include "editor/tail_text_edit.h"
#include "platform/shell_services.h"
#include "ui/controls.h"
#include "ui/file_problem_text.h"
#include "ui/program_title.h"
#include "ui/window_placement.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextDocumentLayout>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextDocument>

namespace qlq {
namespace {

namespace names = tail_editor_names;
using enum ControlKind;

} // namespace

TailEditorWindow::TailEditorWindow(ShellServices& shell, TailListSource source, const QIcon& icon,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), shell_(shell), tailListFile_(std::move(source.file)),
      encoding_(source.encoding), readProblem_(std::move(source.readProblem)) {
    setObjectName(QString::fromLatin1(names::kWindow));
    setWindowTitle(programTitle() + QStringLiteral("        修改内容"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The program's lifetime decides when to end, not the last window closing.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(icon);
    createControls();
    resize(twips(13320), twips(8865));

    buildDocument(tailListEditorText(source.tails, source.lineEnds), false);
    centreOnScreen(*this);
}

void TailEditorWindow::buildDocument(const QString& text, bool restored) {
    auto* builder = new EditorDocumentBuilder(this);
    connect(builder, &EditorDocumentBuilder::ready, this,
            [this, builder, restored](QTextDocument* document) {
                showDocument(document);
                // A restored text is not what the list holds: it stays unsaved until saved.
                document->setModified(restored);
                builder->deleteLater();
            });
    builder->build(text);
}

TailEditorWindow::~TailEditorWindow() = default;

void TailEditorWindow::createControls() {
    textEdit_ = placeControl(new TailTextEdit(this), names::kText, layout_.text);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textEdit_->setTabChangesFocus(true);
    textEdit_->setReadOnly(true);

    saveButton_ =
        createControl<QPushButton>(this, {names::kSave, Button, layout_.save, "保存修改"});
    saveButton_->setEnabled(false);
    cancelButton_ =
        createControl<QPushButton>(this, {names::kCancel, Button, layout_.cancel, "取消"});

    describeControl(textEdit_, QStringLiteral("小尾巴列表"),
                    QStringLiteral("整个小尾巴列表，每行一条"));
    describeControl(saveButton_, QStringLiteral("保存修改"), QStringLiteral("保存列表并关闭窗口"));
    describeControl(cancelButton_, QStringLiteral("取消"), QStringLiteral("不保存，关闭窗口"));

    QWidget::setTabOrder(textEdit_, saveButton_);
    QWidget::setTabOrder(saveButton_, cancelButton_);

    connect(saveButton_, &QPushButton::clicked, this, &TailEditorWindow::save);
    connect(cancelButton_, &QPushButton::clicked, this, &TailEditorWindow::close);
}

void TailEditorWindow::showDocument(QTextDocument* document) {
    QTextDocument* replaced = textLoaded_ ? textEdit_->document() : nullptr;
    document->setParent(textEdit_);
    // Set before the layout exists, so nothing is laid out twice.
    document->setDefaultFont(textEdit_->font());
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    textEdit_->setDocument(document);
    delete replaced;
    document->setUndoRedoEnabled(true);
    textEdit_->setReadOnly(false);
    saveButton_->setEnabled(true);
    textLoaded_ = true;
    if (!offered_) {
        offered_ = true;
        offerUnsavedText();
    }
}

void TailEditorWindow::offerUnsavedText() {
    std::optional<QString> kept = loadUnsavedEditorText(tailListFile_);
    if (!kept)
        return;
    // Window-modal and not waited for: the program (F8 included) goes on meanwhile. Neither
    // answer writes the list; closing the box without one asks again next time.
    auto* box =
        new QMessageBox(QMessageBox::Question, programTitle(),
                        QStringLiteral("上次退出时（注销、关机），编辑框里有没有保存的修改。"
                                       "\n恢复这些修改，还是丢弃它们？"),
                        QMessageBox::NoButton, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QPushButton* restore = box->addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("丢弃"), QMessageBox::DestructiveRole);
    box->setDefaultButton(restore);
    connect(box, &QMessageBox::buttonClicked, this,
            [this, restore, text = *std::move(kept)](QAbstractButton* answer) {
                const QString file = unsavedEditorTextFile(tailListFile_);
                qCInfo(log::files, "the unsaved text in %ls was %s", qUtf16Printable(file),
                       answer == restore ? "restored" : "discarded");
                if (answer == restore)
                    buildDocument(text, true);
                QFile::remove(file);
            });
    box->open();
}

bool TailEditorWindow::hasUnsavedEdits() const {
    return textLoaded_ && textEdit_->document()->isModified();
}

bool TailEditorWindow::keepUnsavedText() {
    if (!hasUnsavedEdits())
        return true;
    const QString file = unsavedEditorTextFile(tailListFile_);
    if (const std::optional<FileProblem> problem =
            saveTailListFile(file, editorText(), encoding_)) {
        qCWarning(log::files, "the editor's unsaved text could not be kept in %ls: %ls",
                  qUtf16Printable(file), qUtf16Printable(fileProblemText(*problem)));
        return false;
    }
    qCInfo(log::files, "kept the editor's unsaved text in %ls", qUtf16Printable(file));
    return true;
}

QString TailEditorWindow::editorText() const {
    return tailListTextToSave(textEdit_->tailListText(), textEdit_->closingLineEnd());
}

void TailEditorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TailEditorWindow::layOut() {
    // Positions are kept in twips so that repeated resizing does not add up rounding.
    const QRect outer = frameGeometry();
    layOutEditor(layout_, outer.width() * 15, outer.height() * 15);
    textEdit_->setGeometry(twipsRect(layout_.text));
    saveButton_->setGeometry(twipsRect(layout_.save));
    cancelButton_->setGeometry(twipsRect(layout_.cancel));
}

void TailEditorWindow::save() {
    if (!textLoaded_)
        return;
    if (readProblem_) {
        qCWarning(log::files, "not saving over %ls: it could not be read",
                  qUtf16Printable(tailListFile_));
        shell_.showMessage(
            this, programTitle(),
            QStringLiteral("没有保存：%1 读取失败（%2），编辑框里并不是它的内容，"
                           "保存会把它覆盖掉。")
                .arg(QDir::toNativeSeparators(tailListFile_), fileProblemText(*readProblem_)));
        return;
    }
    // Written the way the file was read: a list read as UTF-8 stays UTF-8.
    if (const std::optional<FileProblem> problem =
            saveTailListFile(tailListFile_, editorText(), encoding_)) {
        // Nothing was replaced: the old file, the list and the user's text are all still there.
        const QString reason = problem->kind == FileProblem::Kind::Unencodable
                                   ? QStringLiteral("文本中有无法保存的字符")
                                   : fileProblemText(*problem);
        qCWarning(log::files, "cannot save the tail list to %ls: %ls",
                  qUtf16Printable(tailListFile_), qUtf16Printable(reason));
        shell_.showMessage(this, programTitle(),
                           QStringLiteral("无法保存小尾巴列表到 %1：%2")
                               .arg(QDir::toNativeSeparators(tailListFile_), reason));
        return;
    }
    qCDebug(log::files, "saved the tail list to %ls", qUtf16Printable(tailListFile_));
    emit saved();
    close();
}

} // namespace qlq
