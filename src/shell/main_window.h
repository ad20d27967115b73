#pragma once

#include "data/data_paths.h"
#include "data/file_access.h"
#include "insert/insertion_controls.h"
#include "insert/insertion_engine.h"
#include "text/line_splitter.h"
#include "text/text_encoding.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qlq {

class Desktop;
class ShellServices;
class NextRandom;
class TailListModel;
class TailListView;

// The main window: the tail list, the own tail, the three switches and the F8 engine.
class MainWindow : public QWidget, private InsertionControls {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 501;  // 7515 twips
    static constexpr int kClientHeight = 584; // 8760 twips

    MainWindow(Desktop& desktop, DataPaths paths, NextRandom& random, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence: skin, own tail, tail list, switches, in that order.
    void load();

    // The tail list as the list shows it, and how its file is encoded.
    QStringList tails() const;
    TextEncoding tailListEncoding() const { return tailListEncoding_; }
    // How each tail's line ended in the file, so that an unchanged list saves unchanged.
    const std::vector<LineEnd>& tailLineEnds() const { return tailLineEnds_; }
    // Why the tail list file could not be read at the last load, when it could not.
    std::optional<FileProblem> tailListProblem() const { return tailListProblem_; }
    const DataPaths& paths() const { return paths_; }
    // Empties the list and fills it from the tail list file.
    void reloadTailList();

    InsertionEngine& engine() { return *engine_; }

signals:
    void editorRequested();     // 编辑内容
    void galleryRequested();    // 签名大全
    void helpRequested();       // 使用说明
    void backgroundRequested(); // 后台运行
    // Emitted once the unload sequence has saved the options, before the window goes.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct QuickSlot {
        QPlainTextEdit* text = nullptr;
        QPushButton* lockButton = nullptr;
        QPushButton* pasteButton = nullptr;
        int pasteRequest = 0; // only the answer to the latest 粘贴入内 fills the slot
    };

    void createControls();
    void connectHandlers();
    void saveOptions();
    // A message over the window once it is up: load() runs before the window is shown.
    void reportLater(const QString& text);

    void onEditListButtonLostFocus();
    void onRandomOrderClicked();
    void showRandomSwitchValue();
    void showRandomDraw();
    void toggleQuickSlotLock(const QuickSlot& slot);
    void pasteClipboardInto(QuickSlot& slot);

    // InsertionControls
    int rowCount() const override;
    QString rowText(int row) const override;
    bool randomOrder() const override;
    bool appendOwnTail() const override;
    bool sendAfterInsert() const override;
    QString ownTail() const override;
    void showComposed(const QString& text) override;

    ShellServices& shell_;
    DataPaths paths_;
    NextRandom& random_;
    TextEncoding tailListEncoding_ = TextEncoding::Gb18030;
    std::vector<LineEnd> tailLineEnds_;
    // The own tail as the options file holds it, undecodable bytes included; the field shows
    // them as "�" and the stored text is written back while the field is left as it was.
    QString storedOwnTail_;
    std::optional<FileProblem> tailListProblem_;
    bool unloaded_ = false;

    QLineEdit* ownTailEdit_ = nullptr;
    QPushButton* editListButton_ = nullptr;
    QCheckBox* randomOrderBox_ = nullptr;
    QCheckBox* sendAfterInsertBox_ = nullptr;
    QCheckBox* appendOwnTailBox_ = nullptr;
    TailListView* tailListView_ = nullptr;
    TailListModel* tailListModel_ = nullptr;
    QPushButton* galleryButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* homePageButton_ = nullptr;
    QPushButton* backgroundButton_ = nullptr;
    QLineEdit* composedTextBox_ = nullptr; // a scratch mirror of the last composed text
    QPushButton* showRandomSwitchButton_ = nullptr;
    QPushButton* drawNumberButton_ = nullptr;
    std::array<QuickSlot, 3> quickSlots_;
    std::unique_ptr<InsertionEngine> engine_;
    QMetaObject::Connection focusConnection_;
};

} // namespace qlq
