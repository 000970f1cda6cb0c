// Adding, changing and removing junk types: the pattern dialog driven
// through its real modal loop, the message boxes, and the rows and records
// kept in step.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "cleaner/frm_main.h"
#include "cleaner/temporary_file_form.h"
#include "core/junk_types.h"
#include "win32/app.h"
#include "win32/system.h"
#include "win_test_util.h"

using cleaner::TFrm_Main;
using cleaner::TTemporaryFileForm;

namespace {

// How the user ends the dialog. Keys go to the window that has the focus.
enum class Ending { Enter, EnterOnCancel, ClickOk, Esc, ClickCancel, CloseBox };
const char* const kEndingNames[] = {"Enter", "Enter on Cancel", "click OK", "Esc", "click Cancel", "close box"};

// The result a dialog gets when the user's input left it open.
constexpr int kStillOpen = 100;

// What a dialog showed and how it ended.
struct DialogRun {
    std::string caption;
    HWND owner = nullptr;
    std::string openedPattern, openedDescription;
    bool okAtOpen = false;
    bool okBeforeEnding = false;
    int result = 0;
};

using Row = std::tuple<std::string, std::string, bool>;    // caption, description, box
using Record = std::tuple<int, std::string, std::string>;  // Checked, Pattern, Description

TTemporaryFileForm* openDialog = nullptr;
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    if (openDialog) openDialog->SetModalResult(kStillOpen);
}

void PostEnding(TTemporaryFileForm& dialog, Ending ending) {
    switch (ending) {
        case Ending::Enter: PostMessageA(dialog.edExtension->Handle(), WM_KEYDOWN, VK_RETURN, 1); break;
        case Ending::EnterOnCancel: PostMessageA(dialog.mrCancelBtn->Handle(), WM_KEYDOWN, VK_RETURN, 1); break;
        case Ending::ClickOk: PostMessageA(dialog.mrOkBtn->Handle(), BM_CLICK, 0, 0); break;
        case Ending::Esc: PostMessageA(dialog.edExtension->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); break;
        case Ending::ClickCancel: PostMessageA(dialog.mrCancelBtn->Handle(), BM_CLICK, 0, 0); break;
        case Ending::CloseBox: PostMessageA(dialog.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
}

// Runs the real modal loop over the posted input. Timer messages come only
// once the queue is empty, so a dialog still open after the input is ended
// with kStillOpen.
int RunModal(TTemporaryFileForm& dialog) {
    openDialog = &dialog;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, GiveUp);
    int result = dialog.ShowModal();
    KillTimer(nullptr, timer);
    openDialog = nullptr;
    // Input left over after an early close must not reach a later window.
    MSG msg;
    while (PeekMessageA(&msg, dialog.Handle(), 0, 0, PM_REMOVE)) {
    }
    return result;
}

std::string JunkFilePath() { return win32::ProgramDirectory() + "JunkFile.dat"; }

core::TJunkTypeRec Rec(uint8_t checked, const std::string& pattern, const std::string& description) {
    return *core::MakeJunkType(checked, pattern, description);
}

class JunkEdit : public testing::Test {
protected:
    void SetUp() override {
        TTemporaryFileForm::ModalHook = [](TTemporaryFileForm&) {
            ADD_FAILURE() << "unexpected dialog";
            return static_cast<int>(win32::mrCancel);
        };
        Restart();
    }
    void TearDown() override {
        form.reset();
        TTemporaryFileForm::ModalHook = nullptr;
        boxes.reset();  // the failing answerer is back
        DeleteFileA(JunkFilePath().c_str());
    }

    // Starts the wizard again on the built-in list.
    void Restart() {
        form.reset();
        DeleteFileA(JunkFilePath().c_str());
        form = std::make_unique<TFrm_Main>();
        dialogs.clear();
        boxes.reset();
    }
    // Starts the wizard again on a JunkFile.dat of these records.
    void LoadList(const std::vector<core::TJunkTypeRec>& records) {
        form.reset();
        std::string bytes;
        uint8_t buffer[core::kJunkTypeRecordBytes] = {};
        for (const auto& rec : records) {
            core::EncodeJunkTypeRecord(rec, buffer);
            bytes.append(reinterpret_cast<const char*>(buffer), sizeof buffer);
        }
        testutil::WriteFileBytes(JunkFilePath(), bytes);
        form = std::make_unique<TFrm_Main>();
    }

    // Plays the user in every dialog from now on: types the texts given
    // (nullopt leaves an edit as it opened), then ends the dialog.
    void UseDialog(std::optional<std::string> pattern, std::optional<std::string> description, Ending ending) {
        TTemporaryFileForm::ModalHook = [=](TTemporaryFileForm& dialog) {
            DialogRun run;
            run.caption = dialog.Caption();
            run.owner = GetWindow(dialog.Handle(), GW_OWNER);
            run.openedPattern = dialog.edExtension->Text();
            run.openedDescription = dialog.edDesc->Text();
            run.okAtOpen = IsWindowEnabled(dialog.mrOkBtn->Handle()) != FALSE;
            if (pattern) dialog.edExtension->SetText(*pattern);
            if (description) dialog.edDesc->SetText(*description);
            run.okBeforeEnding = IsWindowEnabled(dialog.mrOkBtn->Handle()) != FALSE;
            PostEnding(dialog, ending);
            run.result = RunModal(dialog);
            dialogs.push_back(run);
            return run.result;
        };
    }

    // Answers every message box with `answer` from now on, and records it.
    void AnswerBoxes(int answer) {
        boxes.reset();
        boxes = std::make_unique<testutil::MessageBoxRecorder>(answer);
    }
    const std::vector<win32::MessageBoxCall>& Boxes() const { return boxes->calls; }

    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        win32::ListView* list = form->JunkFilesListView;
        for (int i = 0; i < list->Count(); ++i) rows.emplace_back(list->Caption(i), list->SubItem(i, 0), list->Checked(i));
        return rows;
    }
    std::vector<Record> Records() const {
        std::vector<Record> records;
        for (const auto& rec : form->JunkTypes())
            records.emplace_back(rec->Checked, rec->Pattern.Get(), rec->Description.Get());
        return records;
    }
    // Row i shows record i.
    void ExpectParallel() const {
        std::vector<Row> rows = Rows();
        std::vector<Record> records = Records();
        ASSERT_EQ(rows.size(), records.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(std::get<0>(rows[i]).substr(0, 100), std::get<1>(records[i])) << "row " << i;
            EXPECT_EQ(std::get<1>(rows[i]).substr(0, 100), std::get<2>(records[i])) << "row " << i;
        }
    }
    void Select(int row) { form->JunkFilesListView->SetSelectedIndex(row); }
    // The box as the control shows it, and a click on it: the user's tick
    // reaches the list only through the control's notification.
    bool BoxShown(int row) const {
        LRESULT state = SendMessageA(form->JunkFilesListView->Handle(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
        return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    }
    void ClickBox(int row) {
        LVITEMA item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(BoxShown(row) ? 1 : 2);
        SendMessageA(form->JunkFilesListView->Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    // Every row keeps the tick its box shows.
    void ExpectBoxesAsKept() const {
        for (int row = 0; row < form->JunkFilesListView->Count(); ++row)
            EXPECT_EQ(form->JunkFilesListView->Checked(row), BoxShown(row)) << "row " << row;
    }
    void Add() { form->AddBtnClick(form->AddBtn); }
    void Edit() { form->EditBtnClick(form->EditBtn); }
    void Delete() { form->DelBtnClick(form->DelBtn); }

    std::unique_ptr<TFrm_Main> form;
    std::vector<DialogRun> dialogs;
    std::unique_ptr<testutil::MessageBoxRecorder> boxes;
};

TEST_F(JunkEdit, DialogIsAFixedDialogOfTheApplicationWithOkDisabled) {
    TTemporaryFileForm dialog;
    RECT client;
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, 361);
    EXPECT_EQ(client.bottom, 177);
    EXPECT_EQ(GetWindow(dialog.Handle(), GW_OWNER), win32::App().Handle());
    EXPECT_EQ(dialog.Caption(), "Add a new file type");
    EXPECT_FALSE(IsWindowEnabled(dialog.mrOkBtn->Handle()));

    // Tab order over what can take the focus; the disabled OK is left out
    // until a pattern turns it on.
    auto tabOrder = [&dialog] {
        std::vector<HWND> order;
        HWND first = GetNextDlgTabItem(dialog.Handle(), nullptr, FALSE);
        HWND at = first;
        do {
            order.push_back(at);
            at = GetNextDlgTabItem(dialog.Handle(), at, FALSE);
        } while (at && at != first && order.size() < 10);
        return order;
    };
    dialog.Show();
    EXPECT_EQ(tabOrder(), (std::vector<HWND>{dialog.edExtension->Handle(), dialog.edDesc->Handle(),
                                             dialog.mrCancelBtn->Handle()}));
    dialog.edExtension->SetText("*.tmp");
    EXPECT_EQ(tabOrder(), (std::vector<HWND>{dialog.edExtension->Handle(), dialog.edDesc->Handle(),
                                             dialog.mrOkBtn->Handle(), dialog.mrCancelBtn->Handle()}));
}

TEST_F(JunkEdit, OkFollowsEveryChangeOfThePattern) {
    TTemporaryFileForm dialog;
    const std::pair<const char*, bool> steps[] = {{"a", true}, {"  ", false}, {" *.log ", true}, {"", false}};
    for (const auto& [text, enabled] : steps) {
        dialog.edExtension->SetText(text);
        EXPECT_EQ(IsWindowEnabled(dialog.mrOkBtn->Handle()) != FALSE, enabled) << '"' << text << '"';
    }
}

// Enter accepts exactly when the pattern has more than blanks and control
// characters; what is accepted is stored as typed.
TEST_F(JunkEdit, EnterAddsOnlyAPatternWithTextAndStoresItAsTyped) {
    struct Case {
        const char* pattern;
        const char* description;
        bool accepted;
    };
    const Case cases[] = {
        {"", "Nothing", false},
        {"   ", "Blanks", false},
        {" \t\r\n\x01\x1F ", "Control characters", false},
        {" *.tmp", "Leading blank", true},
        {"*.tmp ", "", true},
        {"\xA0", "A character above 127", true},
        {"*.abc", "  Padded description  ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        Restart();
        UseDialog(c.pattern, c.description, Ending::Enter);
        Add();
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].okBeforeEnding, c.accepted);
        EXPECT_EQ(dialogs[0].result, c.accepted ? win32::mrOk : kStillOpen);
        std::vector<Row> rows = Rows();
        std::vector<Record> records = Records();
        if (c.accepted) {
            ASSERT_EQ(rows.size(), 48u);
            EXPECT_EQ(rows.back(), Row(c.pattern, c.description, true));
            EXPECT_EQ(records.back(), Record(1, c.pattern, c.description));
        } else {
            EXPECT_EQ(rows.size(), 47u);
            EXPECT_EQ(records.size(), 47u);
        }
    }
}

TEST_F(JunkEdit, AddAppendsATickedRowAndARecordWithCheckedOne) {
    std::vector<Row> rows = Rows();
    std::vector<Record> records = Records();
    UseDialog("*.xyz", "My junk", Ending::ClickOk);
    Add();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, "Add a new file type");
    EXPECT_EQ(dialogs[0].owner, win32::App().Handle());
    EXPECT_EQ(dialogs[0].openedPattern, "");
    EXPECT_EQ(dialogs[0].openedDescription, "");
    EXPECT_FALSE(dialogs[0].okAtOpen);
    EXPECT_EQ(dialogs[0].result, win32::mrOk);
    rows.emplace_back("*.xyz", "My junk", true);
    records.emplace_back(1, "*.xyz", "My junk");
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(Records(), records);

    // The same pattern again is a second junk type.
    Add();
    EXPECT_EQ(Rows().size(), 49u);
    EXPECT_EQ(Records().back(), Record(1, "*.xyz", "My junk"));
}

// The row shows a long text whole; the record keeps the first 100 characters.
TEST_F(JunkEdit, LongTextsAreShownWholeAndStoredCut) {
    const std::string pattern = "*." + std::string(148, 'p');
    const std::string description = std::string(99, 'd') + "xyz";
    for (bool editing : {false, true}) {
        SCOPED_TRACE(editing ? "edit" : "add");
        UseDialog(pattern, description, Ending::Enter);
        int row = 47;
        if (editing) {
            row = 3;
            Select(row);
            Edit();
        } else {
            Add();
        }
        EXPECT_EQ(form->JunkFilesListView->Caption(row), pattern);
        EXPECT_EQ(form->JunkFilesListView->SubItem(row, 0), description);
        EXPECT_EQ(form->JunkTypes()[row]->Pattern.Get(), pattern.substr(0, 100));
        EXPECT_EQ(form->JunkTypes()[row]->Description.Get(), std::string(99, 'd') + "x");
        ExpectParallel();
    }
}

TEST_F(JunkEdit, EditAndDeleteWithoutASelectionOnlyTellTheUser) {
    const std::pair<const char*, std::function<void()>> commands[] = {{"edit", [this] { Edit(); }},
                                                                       {"delete", [this] { Delete(); }}};
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        AnswerBoxes(IDOK);
        Select(-1);
        std::vector<Row> rows = Rows();
        std::vector<Record> records = Records();
        command();
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, "You have not selected any junk type.");
        EXPECT_EQ(Boxes()[0].caption, "Pelmora Scourly");
        EXPECT_EQ(Boxes()[0].flags, 0x40u);
        EXPECT_EQ(Boxes()[0].owner, win32::App().Handle());
        EXPECT_TRUE(dialogs.empty());
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(Records(), records);
    }
}

TEST_F(JunkEdit, EditChangesTheTextsAndLeavesTheTicks) {
    LoadList({Rec(0, "*.one", "First"), Rec(1, "*.two", "Second"), Rec(0, "*.three", "Third")});
    // Boxes that no longer match the stored ticks: neither is copied to the other.
    form->JunkFilesListView->SetChecked(0, true);
    form->JunkFilesListView->SetChecked(1, false);
    UseDialog(" *.new", "Changed ", Ending::Enter);
    Select(1);
    Edit();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, "Modify file type");
    EXPECT_EQ(dialogs[0].owner, win32::App().Handle());
    EXPECT_EQ(dialogs[0].openedPattern, "*.two");
    EXPECT_EQ(dialogs[0].openedDescription, "Second");
    EXPECT_TRUE(dialogs[0].okAtOpen);
    EXPECT_EQ(dialogs[0].result, win32::mrOk);

    UseDialog("*.uno", std::nullopt, Ending::Enter);
    Select(0);
    Edit();
    EXPECT_EQ(Rows(), (std::vector<Row>{{"*.uno", "First", true}, {" *.new", "Changed ", false}, {"*.three", "Third", false}}));
    EXPECT_EQ(Records(), (std::vector<Record>{{0, "*.uno", "First"}, {1, " *.new", "Changed "}, {0, "*.three", "Third"}}));
}

TEST_F(JunkEdit, CancellingTheDialogChangesNothing) {
    // Every way out, from Add and from Edit in turn.
    const std::pair<Ending, bool> cases[] = {
        {Ending::Esc, false}, {Ending::ClickCancel, true}, {Ending::CloseBox, false}, {Ending::EnterOnCancel, true}};
    for (const auto& [ending, editing] : cases) {
        SCOPED_TRACE(std::string(kEndingNames[static_cast<int>(ending)]) + (editing ? ", edit" : ", add"));
        std::vector<Row> rows = Rows();
        std::vector<Record> records = Records();
        dialogs.clear();
        // OK is enabled, so only the way out decides.
        UseDialog("*.cancelled", "Not wanted", ending);
        if (editing) {
            Select(5);
            Edit();
        } else {
            Add();
        }
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_TRUE(dialogs[0].okBeforeEnding);
        EXPECT_EQ(dialogs[0].result, win32::mrCancel);
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(Records(), records);
    }
}

TEST_F(JunkEdit, EditOfABlankPatternOpensWithOkDisabled) {
    LoadList({Rec(1, "", "Empty"), Rec(1, "   ", "Blanks"), Rec(1, "*.ok", "Fine")});
    for (int row : {0, 1}) {
        SCOPED_TRACE(row);
        dialogs.clear();
        UseDialog(std::nullopt, "Tried", Ending::Enter);
        Select(row);
        Edit();
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_FALSE(dialogs[0].okAtOpen);
        EXPECT_EQ(dialogs[0].result, kStillOpen);
    }
    // Blanking a good pattern takes OK away again.
    dialogs.clear();
    UseDialog("  ", "Tried", Ending::Enter);
    Select(2);
    Edit();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].okAtOpen);
    EXPECT_EQ(dialogs[0].result, kStillOpen);
    EXPECT_EQ(Records(), (std::vector<Record>{{1, "", "Empty"}, {1, "   ", "Blanks"}, {1, "*.ok", "Fine"}}));
    ExpectParallel();
}

TEST_F(JunkEdit, DeleteAsksAndRemovesOnlyOnYes) {
    struct Case {
        int answer;
        bool removed;
    };
    for (const Case& c : {Case{IDNO, false}, Case{IDCANCEL, false}, Case{IDYES, true}}) {
        SCOPED_TRACE(c.answer);
        Restart();
        // A box the user unticked stays as it is on the row that moves up.
        ClickBox(7);
        std::vector<Row> rows = Rows();
        std::vector<Record> records = Records();
        AnswerBoxes(c.answer);
        Select(6);
        Delete();
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, "Are you sure to remove the selected item(s)?");
        EXPECT_EQ(Boxes()[0].caption, "Pelmora Scourly");
        EXPECT_EQ(Boxes()[0].flags, 0x34u);
        EXPECT_EQ(Boxes()[0].owner, win32::App().Handle());
        if (c.removed) {
            rows.erase(rows.begin() + 6);
            records.erase(records.begin() + 6);
        }
        EXPECT_EQ(Rows(), rows);
        EXPECT_EQ(Records(), records);
        ExpectBoxesAsKept();
    }
}

// The scan reads the ticks the list keeps; after a removal they must still be
// what the boxes show, whichever way the ticks differ around the removed row.
TEST_F(JunkEdit, AfterRemoveTheScanLooksForExactlyTheTypesWhoseBoxIsTicked) {
    struct Case {
        const char* name;
        std::vector<int> unticked;  // boxes the user clicks off
        int removed;
    };
    const Case cases[] = {
        {"unticked row moves up onto a ticked one", {2}, 1},
        {"ticked row moves up onto an unticked one", {1, 3}, 1},
        {"first row, the next one unticked", {1}, 0},
        {"last row, the one before unticked", {3}, 4},
        {"between two unticked rows", {0, 2}, 1},
    };
    const std::string folder = win32::ProgramDirectory() + "remove-fixture";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < 5; ++i) testutil::WriteFileBytes(folder + "\\f.r" + std::to_string(i), "x");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<core::TJunkTypeRec> records;
        for (int i = 0; i < 5; ++i) records.push_back(Rec(1, "*.r" + std::to_string(i), "Type " + std::to_string(i)));
        LoadList(records);
        for (int row : c.unticked) ClickBox(row);
        AnswerBoxes(IDYES);
        Select(c.removed);
        Delete();
        ASSERT_EQ(form->JunkFilesListView->Count(), 4);
        ExpectBoxesAsKept();

        // One file per type on a drive of its own; the scan finds the file of
        // every row whose box is ticked, and no other.
        win32::ListView* drives = form->DiskListView;
        for (int i = 0; i < drives->Count(); ++i) drives->SetChecked(i, false);
        int drive = drives->AddItem("Fixture");
        for (const char* text : {"1MB", "1MB"}) drives->AddSubItem(drive, text);
        drives->AddSubItem(drive, folder);
        drives->SetChecked(drive, true);
        form->ScanNowBtnClick(form->ScanNowBtn);
        cleaner::ScanState = 0;
        std::vector<std::string> expected, found;
        for (int row = 0; row < 4; ++row)
            if (BoxShown(row)) expected.push_back("f" + form->JunkFilesListView->Caption(row).substr(1));
        for (const auto& f : form->FoundFiles()) found.push_back(f->FileName);
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
    }
    for (int i = 0; i < 5; ++i) DeleteFileA((folder + "\\f.r" + std::to_string(i)).c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(JunkEdit, DeletingEveryRowEmptiesRowsAndRecords) {
    AnswerBoxes(IDYES);
    // From the end, the middle and the front in turn.
    while (form->JunkFilesListView->Count() > 0) {
        int count = form->JunkFilesListView->Count();
        Select(count % 3 == 0 ? count - 1 : count % 3 == 1 ? count / 2 : 0);
        Delete();
        ASSERT_EQ(form->JunkFilesListView->Count(), count - 1);
        ExpectParallel();
    }
    EXPECT_TRUE(form->JunkTypes().empty());
    EXPECT_EQ(Boxes().size(), 47u);
}

// Changes live in memory until a save, which writes the records.
TEST_F(JunkEdit, ChangesReachJunkFileDatOnlyThroughASave) {
    auto change = [this] {
        form->JunkFilesListView->SetChecked(0, true);
        UseDialog("*.uno", "Primero", Ending::Enter);
        Select(0);
        Edit();
        Add();
        AnswerBoxes(IDYES);
        Select(1);
        Delete();
    };
    const std::vector<Record> changed = {{0, "*.uno", "Primero"}, {1, "*.three", "Third"}, {1, "*.uno", "Primero"}};

    LoadList({Rec(0, "*.one", "First"), Rec(1, "*.two", "Second"), Rec(1, "*.three", "Third")});
    change();
    ASSERT_EQ(Records(), changed);
    form.reset();
    form = std::make_unique<TFrm_Main>();
    EXPECT_EQ(Records(), (std::vector<Record>{{0, "*.one", "First"}, {1, "*.two", "Second"}, {1, "*.three", "Third"}}));

    change();
    form->SaveJunkTypes();
    form.reset();
    form = std::make_unique<TFrm_Main>();
    EXPECT_EQ(Records(), changed);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"*.uno", "Primero", false}, {"*.three", "Third", true}, {"*.uno", "Primero", true}}));
}

}  // namespace
