#pragma once
// The "{Tags}" menu: every item writes a tag (or asks for one in a small
// dialog) into a text box, replacing its selection as one undoable step.
// The entry editor and the pick list of the input-field dialog share it.
#include <QMenu>
#include <functional>

class QPlainTextEdit;
struct TEditorServices;

class TTagsMenu : public QMenu {
    Q_OBJECT
public:
    // inPickList: "Define New Variable" writes a field without a pick list.
    TTagsMenu(QPlainTextEdit* target, const TEditorServices& services, bool inPickList,
              QWidget* parent);

    // Inserts text at the caret of the target, replacing the selection; one
    // Undo takes it out again.
    void InsertText(const QString& text);
    void InsertTag(const QString& body);

    // The variable submenu, rebuilt from the target's text.
    void RebuildVariables();

    QMenu* DialogBoxes1 = nullptr;
    QMenu* InsertVariable1 = nullptr;
    QMenu* DateTime1 = nullptr;
    // Filled by the editor with its options; hidden when empty.
    QMenu* EditorOptions1 = nullptr;

    // What the items ask the user; tests replace it. False on Cancel.
    std::function<bool(const QString& prompt, QString& value)> AskText;
    // Each tag dialog before it opens, so tests can fill and close it.
    std::function<void(QDialog*)> PrepareDialog;

private:
    int Run(QDialog& dialog);
    void InputField1Click();
    void DefineVariable1Click();
    void InputDate1Click();
    void Message1Click();
    void InputFile1Click();
    void TclScript1Click();
    void Keystroke1Click();
    void Pause1Click();
    void Remark1Click();
    void RefreshDateCaptions();

    QPlainTextEdit* target_;
    const TEditorServices& services_;
    bool inPickList_;
    QList<QAction*> dateActions_;
};
