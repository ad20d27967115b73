#include "data/tail_editor_window.h"

#include "data/editor_document_builder.h"
#include "data/tail_list_text.h"
#include "data/tail_list_writer.h"
#include "platform/desktop_services.h"
#include "platform/twips.h"
#include "shell/main_window.h"

#include <QDir>
#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTextDocument>

namespace qlq {
namespace {

const QString kProgramTitle = QStringLiteral("青岚雀贴吧小尾巴");

// Positions are kept in twips so that repeated resizing does not add up rounding.
void place(QWidget* widget, const QRect& r) {
    widget->setGeometry(twipsRect(r.x(), r.y(), r.width(), r.height()));
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QRect& designed) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    place(b, designed);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

TailEditorWindow::TailEditorWindow(DesktopServices& desktop, MainWindow& mainWindow,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), desktop_(desktop), mainWindow_(&mainWindow),
      tailListFile_(mainWindow.paths().tailListFile()), encoding_(mainWindow.tailListEncoding()) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("青岚雀贴吧小尾巴        修改内容"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The program's lifetime decides when to end, not the last window closing.
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();
    resize(twips(13320), twips(8865));
    Form_Load(mainWindow);

    if (const QScreen* screen =
            mainWindow.screen() ? mainWindow.screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

TailEditorWindow::~TailEditorWindow() = default;

void TailEditorWindow::createControls() {
    Text5 = new QPlainTextEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    place(Text5, layout_.text);
    Text5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text5->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text5->setTabChangesFocus(true);
    Text5->setReadOnly(true);

    Command16 = button(this, "Command16", QStringLiteral("保存修改"), layout_.save);
    Command16->setEnabled(false);
    Command1 = button(this, "Command1", QStringLiteral("取消"), layout_.cancel);

    QWidget::setTabOrder(Text5, Command16);
    QWidget::setTabOrder(Command16, Command1);

    connect(Command16, &QPushButton::clicked, this, &TailEditorWindow::Command16_Click);
    connect(Command1, &QPushButton::clicked, this, &TailEditorWindow::close);
}

void TailEditorWindow::Form_Load(MainWindow& mainWindow) {
    setWindowIcon(mainWindow.windowIcon());
    auto* builder = new EditorDocumentBuilder(this);
    connect(builder, &EditorDocumentBuilder::ready, this, [this, builder](QTextDocument* doc) {
        showDocument(doc);
        builder->deleteLater();
    });
    builder->build(tailListEditorText(mainWindow.tails()));
}

void TailEditorWindow::showDocument(QTextDocument* document) {
    document->setParent(Text5);
    // Set before the layout exists, so nothing is laid out twice.
    document->setDefaultFont(Text5->font());
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    Text5->setDocument(document);
    document->setUndoRedoEnabled(true);
    Text5->setReadOnly(false);
    Command16->setEnabled(true);
    textLoaded_ = true;
    emit textLoadedChanged();
}

QString TailEditorWindow::editorText() const {
    return fromEditorDocumentText(Text5->document()->toRawText());
}

void TailEditorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void TailEditorWindow::Form_Resize() {
    const QRect outer = frameGeometry();
    layOutEditor(layout_, outer.width() * 15, outer.height() * 15);
    place(Text5, layout_.text);
    place(Command16, layout_.save);
    place(Command1, layout_.cancel);
}

void TailEditorWindow::Command16_Click() {
    if (!textLoaded_)
        return;
    // Written the way the file was last read; a list read as UTF-8 stays UTF-8.
    const TextEncoding encoding = mainWindow_ ? mainWindow_->tailListEncoding() : encoding_;
    if (const std::optional<QString> error =
            saveTailListFile(tailListFile_, editorText(), encoding)) {
        // Nothing was replaced: the old file, the list and the user's text are all still there.
        desktop_.showMessage(this, kProgramTitle,
                             QStringLiteral("无法保存小尾巴列表到 %1：%2")
                                 .arg(QDir::toNativeSeparators(tailListFile_), *error));
        return;
    }
    // The main window shows what the file now holds; once it is gone there is no list to rebuild.
    if (mainWindow_)
        mainWindow_->reloadTailList();
    close();
}

} // namespace qlq
