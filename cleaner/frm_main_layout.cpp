// The wizard window's controls, frame first, then the five pages top to
// bottom. Places are left, top, width, height within the parent; aligned
// controls take their place from the alignment (bottom bands are listed
// from the lowest up). The window itself (no border, 740 by 589 client,
// its place on screen, its text) is set by the TFrm_Main constructor in
// frm_main.cpp.
#include "cleaner/frm_main_layout.h"

namespace cleaner {

using namespace win32;

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGaugeBar = RGB(166, 202, 240);
}  // namespace

const ControlSpec kMainLayout[] = {
    // The frame.
    {"TopPanel", Kind::Panel, "", Align::Top, 0, 0, 740, 83, "", FontId::Window, kNoColor, 0},
    {"Image1", Kind::Picture, "TopPanel", Align::Client, 0, 0, 740, 83, "BANNER", FontId::Window, kNoColor, 0},
    {"MinimizeBtn", Kind::ImageEx, "TopPanel", Align::None, 672, 0, 27, 18, "MinimizeBtn", FontId::Window, kNoColor, kArrowCursor},
    {"CloseBtn", Kind::ImageEx, "TopPanel", Align::None, 699, 0, 27, 18, "CloseBtn", FontId::Window, kNoColor, kArrowCursor},
    {"BottomPanel", Kind::Panel, "", Align::Bottom, 0, 550, 740, 39, "", FontId::Window, kNoColor, 0},
    {"Image3", Kind::Picture, "BottomPanel", Align::Client, 0, 0, 740, 39, "BOTTOMBAR", FontId::Window, kNoColor, 0},
    {"Image7", Kind::Picture, "BottomPanel", Align::None, 13, 20, 14, 14, "ICONHELP", FontId::Window, kNoColor, 0},
    {"HelpBtn", Kind::LinkLabel, "BottomPanel", Align::None, 30, 20, 0, 0, "Help", FontId::Link, kNoColor, 0, kWhite},
    {"Image8", Kind::Picture, "BottomPanel", Align::None, 65, 20, 14, 14, "ICONABOUT", FontId::Window, kNoColor, 0},
    {"AboutBtn", Kind::LinkLabel, "BottomPanel", Align::None, 83, 20, 0, 0, "About", FontId::Link, kNoColor, 0, kWhite},
    {"Leftpanel", Kind::Panel, "", Align::Left, 0, 83, 16, 467, "", FontId::Window, kNoColor, 0},
    {"Image2", Kind::Picture, "Leftpanel", Align::Client, 0, 0, 16, 467, "STRIPLEFT", FontId::Window, kNoColor, 0},
    {"RightPanel", Kind::Panel, "", Align::Right, 724, 83, 16, 467, "", FontId::Window, kNoColor, 0},
    {"Image4", Kind::Picture, "RightPanel", Align::Client, 0, 0, 16, 467, "STRIPRIGHT", FontId::Window, kNoColor, 0},
    {"MainPanel", Kind::Panel, "", Align::Client, 16, 83, 708, 467, "", FontId::Window, kWhite, 0},
    {"DataNotebook", Kind::Notebook, "MainPanel", Align::Client, 0, 0, 708, 467, "", FontId::Window, kWhite, 0},

    // Page 1: drives and junk types.
    {"FirstPanel", Kind::Page, "DataNotebook", Align::Client, 0, 0, 708, 467, "", FontId::Window, kWhite, 0},
    {"Memo1", Kind::Memo, "FirstPanel", Align::None, 12, 2, 679, 43,
     "This built-in small utility scans and cleans up the junk files from your system to provide more free space on your hard drives and allow \n"
     "applications to run faster and more efficiently.\n"
     "Please select the drives you wish to scan from the following list.Click next when you have finished selecting the drives.",
     FontId::Arial8, kWhite, 0},
    {"Shape1", Kind::Shape, "FirstPanel", Align::None, 11, 50, 687, 135, "", FontId::Window, kWhite, 0},
    {"DiskListView", Kind::CheckListView, "FirstPanel", Align::None, 12, 51, 685, 133, "", FontId::Sans8, kWhite, 0},
    {"Memo2", Kind::Memo, "FirstPanel", Align::None, 12, 190, 682, 28,
     "Check the types of Junk Files for searching. You can Add, Edit or Remove the types if needed.\n"
     "Junk Files Catagories:",
     FontId::Arial8, kWhite, 0},
    {"Shape2", Kind::Shape, "FirstPanel", Align::None, 11, 223, 687, 142, "", FontId::Window, kWhite, 0},
    {"JunkFilesListView", Kind::CheckListView, "FirstPanel", Align::None, 12, 224, 685, 140, "", FontId::Arial8, kWhite, kKeepSelection},
    {"AddBtn", Kind::ImageEx, "FirstPanel", Align::None, 18, 372, 98, 22, "AddBtn", FontId::Window, kNoColor, 0},
    {"EditBtn", Kind::ImageEx, "FirstPanel", Align::None, 129, 372, 98, 22, "EditBtn", FontId::Window, kNoColor, 0},
    {"DelBtn", Kind::ImageEx, "FirstPanel", Align::None, 240, 372, 98, 22, "DelBtn", FontId::Window, kNoColor, 0},
    {"ScanNowBtn", Kind::ImageEx, "FirstPanel", Align::None, 514, 400, 187, 65, "ScanNowBtn", FontId::Window, kNoColor, 0},

    // Page 2: the scan.
    {"SecondPanel", Kind::Page, "DataNotebook", Align::Client, 0, 0, 708, 467, "", FontId::Window, kWhite, 0},
    {"Panel13", Kind::Panel, "SecondPanel", Align::Top, 0, 0, 708, 88, "", FontId::Window, kWhite, 0},
    {"Image5", Kind::Picture, "Panel13", Align::None, 30, 10, 51, 55, "PAGESCAN", FontId::Window, kNoColor, 0},
    {"Label17", Kind::Label, "Panel13", Align::None, 121, 14, 0, 0, "Search Disk Drives", FontId::Arial9Bold, kNoColor, 0},
    {"Label18", Kind::Label, "Panel13", Align::None, 121, 40, 0, 0,
     "Please wait while Pelmora Scourly searches the selected drives for junk files. In", FontId::Arial8, kNoColor, 0},
    {"Label19", Kind::Label, "Panel13", Align::None, 121, 58, 0, 0,
     "next step you will select the junk and obsolete files to be removed from the system.", FontId::Arial8, kNoColor, 0},
    {"Panel4", Kind::Panel, "SecondPanel", Align::Bottom, 0, 419, 708, 48, "", FontId::Window, kWhite, 0},
    {"Panel6", Kind::Panel, "Panel4", Align::Right, 409, 0, 299, 48, "", FontId::Window, kWhite, 0},
    {"BackBtn", Kind::ImageEx, "Panel6", Align::None, 75, 10, 98, 22, "BackBtn", FontId::Window, kNoColor, 0},
    {"NextBtn", Kind::ImageEx, "Panel6", Align::None, 188, 10, 98, 22, "NextBtn", FontId::Window, kNoColor, 0},
    {"ScanPanel", Kind::Panel, "SecondPanel", Align::Bottom, 0, 379, 708, 40, "", FontId::Window, kWhite, 0},
    // Wide enough for long paths up to the Stop band; fixed, so that the
    // scan's caption per entry is cheap.
    {"ScanMessage", Kind::Label, "ScanPanel", Align::None, 30, 12, 560, 16, "ScanMessage", FontId::Arial8, kNoColor,
     kFixedSize},
    {"Panel1", Kind::Panel, "ScanPanel", Align::Right, 596, 0, 112, 40, "", FontId::Window, kWhite, 0},
    {"StopScanBtn", Kind::ImageEx, "Panel1", Align::None, 1, 8, 98, 22, "StopScanBtn", FontId::Window, kNoColor, 0},
    {"Panel14", Kind::Panel, "SecondPanel", Align::Client, 0, 88, 708, 291, "", FontId::Window, kWhite, 0},
    {"Shape5", Kind::Shape, "Panel14", Align::None, 29, 0, 655, 288, "", FontId::Window, kWhite, 0},
    {"ScanListView", Kind::ListView, "Panel14", Align::None, 30, 1, 653, 285, "", FontId::Sans8, kWhite, 0},

    // Page 3: the report.
    {"ThirdPanel", Kind::Page, "DataNotebook", Align::Client, 0, 0, 708, 467, "", FontId::Window, kWhite, 0},
    {"Panel15", Kind::Panel, "ThirdPanel", Align::Top, 0, 0, 708, 83, "", FontId::Window, kWhite, 0},
    {"Image6", Kind::Picture, "Panel15", Align::None, 30, 10, 51, 55, "PAGESCAN", FontId::Window, kNoColor, 0},
    {"Label20", Kind::Label, "Panel15", Align::None, 121, 14, 0, 0, "Scan Process Summary", FontId::Arial9Bold, kNoColor, 0},
    {"Label21", Kind::Label, "Panel15", Align::None, 121, 40, 0, 0,
     "Please select the catagories of files you would like to clean in the listbox", FontId::Arial8, kNoColor, 0},
    {"Label22", Kind::Label, "Panel15", Align::None, 121, 58, 0, 0,
     "below. In the next step you will choose how to deal with the junk files.", FontId::Arial8, kNoColor, 0},
    {"Panel2", Kind::Panel, "ThirdPanel", Align::Bottom, 0, 418, 708, 49, "", FontId::Window, kWhite, 0},
    {"Panel3", Kind::Panel, "Panel2", Align::Right, 409, 0, 299, 49, "", FontId::Window, kWhite, 0},
    {"BackBtn1", Kind::ImageEx, "Panel3", Align::None, 66, 12, 98, 22, "BackBtn", FontId::Window, kNoColor, 0},
    {"NextBtn1", Kind::ImageEx, "Panel3", Align::None, 188, 12, 98, 22, "NextBtn", FontId::Window, kNoColor, 0},
    {"Panel9", Kind::Panel, "ThirdPanel", Align::Bottom, 0, 393, 708, 25, "", FontId::Window, kWhite, 0},
    {"Label23", Kind::LinkLabel, "Panel9", Align::None, 29, 8, 0, 0, "Click here", FontId::Arial8Bold, kNoColor, 0, kBlue},
    {"Label24", Kind::Label, "Panel9", Align::None, 90, 8, 0, 0,
     "to view detailed results of scan or double click on selected item in list box.", FontId::Arial8, kNoColor, 0},
    {"ReportStatusBar", Kind::StatusBar, "ThirdPanel", Align::Bottom, 0, 374, 708, 19, "", FontId::Window, kWhite, 0},
    {"Panel16", Kind::Panel, "ThirdPanel", Align::Client, 0, 83, 708, 291, "", FontId::Window, kWhite, 0},
    {"Shape6", Kind::Shape, "Panel16", Align::None, 29, 0, 655, 288, "", FontId::Window, kWhite, 0},
    {"ReportListView", Kind::CheckListView, "Panel16", Align::None, 30, 1, 653, 285, "", FontId::Sans8, kWhite, 0},

    // Page 4: the cleaning options.
    {"FourthPanel", Kind::Page, "DataNotebook", Align::Client, 0, 0, 708, 467, "", FontId::Window, kWhite, 0},
    {"Label14", Kind::Label, "FourthPanel", Align::Top, 0, 0, 708, 39, "             Select cleaning options",
     FontId::Arial8Bold, kNoColor, kCenterVertically},
    {"Label15", Kind::Label, "FourthPanel", Align::Top, 0, 39, 708, 40,
     "             Select the mode of cleaning files from your system", FontId::Arial8, kNoColor, kCenterVertically},
    {"RadioButton1", Kind::RadioButton, "FourthPanel", Align::None, 40, 88, 345, 17, "Permanently delete files",
     FontId::Arial8, kWhite, kGroupStart},
    {"RadioButton2", Kind::RadioButton, "FourthPanel", Align::None, 40, 120, 345, 17,
     "Move files to Recycle Bin (recommended)", FontId::Arial8Bold, kWhite, kChecked},
    {"RadioButton3", Kind::RadioButton, "FourthPanel", Align::None, 40, 152, 345, 17, "Move all files in one folder",
     FontId::Arial8, kWhite, 0},
    {"Label16", Kind::Label, "FourthPanel", Align::None, 56, 184, 0, 0, "Select destination folder:", FontId::Arial8, kNoColor, 0},
    {"panJunkMoveFolder", Kind::Panel, "FourthPanel", Align::None, 56, 200, 540, 25, "", FontId::Arial8, kWhite,
     kSingleBorder | kDisabled | kTextLeft},
    {"btnSelectFolder", Kind::Button, "FourthPanel", Align::None, 603, 200, 92, 25, "Select Directory", FontId::Arial8,
     kNoColor, kHidden},
    {"Panel5", Kind::Panel, "FourthPanel", Align::Bottom, 0, 418, 708, 49, "", FontId::Window, kWhite, 0},
    {"Panel7", Kind::Panel, "Panel5", Align::Right, 406, 0, 302, 49, "", FontId::Window, kWhite, 0},
    {"BackBtn2", Kind::ImageEx, "Panel7", Align::None, 85, 15, 98, 22, "BackBtn", FontId::Window, kNoColor, 0},
    {"NextBtn2", Kind::ImageEx, "Panel7", Align::None, 199, 15, 98, 22, "NextBtn", FontId::Window, kNoColor, 0},

    // Page 5: the cleanup.
    {"FifthPanel", Kind::Page, "DataNotebook", Align::Client, 0, 0, 708, 467, "", FontId::Window, kWhite, 0},
    {"Panel8", Kind::Panel, "FifthPanel", Align::Top, 0, 0, 708, 70, "", FontId::Window, kWhite, 0},
    {"Image10", Kind::Picture, "Panel8", Align::None, 29, 10, 60, 55, "PAGECLEAN", FontId::Window, kNoColor, 0},
    {"Label11", Kind::Label, "Panel8", Align::None, 121, 14, 104, 14, "Remove Junk Files", FontId::Arial8Bold, kNoColor,
     kFixedSize | kCenterVertically},
    {"Label12", Kind::Label, "Panel8", Align::None, 121, 38, 0, 0,
     "The Pelmora Scourly has removed the specific junk files as shown below:", FontId::Arial8, kNoColor, 0},
    {"Panel10", Kind::Panel, "FifthPanel", Align::Bottom, 0, 417, 708, 50, "", FontId::Window, kWhite, 0},
    {"Panel12", Kind::Panel, "Panel10", Align::Right, 405, 0, 303, 50, "", FontId::Window, kWhite, 0},
    {"BackBtn3", Kind::ImageEx, "Panel12", Align::None, 78, 14, 98, 22, "BackBtn", FontId::Window, kNoColor, 0},
    {"FinishBtn", Kind::ImageEx, "Panel12", Align::None, 193, 14, 98, 22, "FinishBtn", FontId::Window, kNoColor, 0},
    {"Panel11", Kind::Panel, "FifthPanel", Align::Bottom, 0, 376, 708, 41, "", FontId::Window, kWhite, 0},
    {"CleanupGauge", Kind::Gauge, "Panel11", Align::None, 29, 8, 305, 25, "", FontId::Window, kWhite, 0},
    {"StopRepairBtn", Kind::ImageEx, "Panel11", Align::None, 598, 11, 98, 22, "StopScanBtn", FontId::Window, kNoColor, 0},
    {"Panel17", Kind::Panel, "FifthPanel", Align::Client, 0, 70, 708, 306, "", FontId::Window, kWhite, 0},
    {"Shape7", Kind::Shape, "Panel17", Align::None, 29, 0, 655, 306, "", FontId::Window, kWhite, 0},
    {"CleanerListView", Kind::ListView, "Panel17", Align::None, 30, 1, 653, 302, "", FontId::Sans8, kWhite, 0},
};
const size_t kMainLayoutCount = sizeof kMainLayout / sizeof kMainLayout[0];

const ColumnSpec kMainColumns[] = {
    {"DiskListView", "Drives", 120, TextAlign::Left},
    {"DiskListView", "Total Space", 100, TextAlign::Right},
    {"DiskListView", "Free Space", 100, TextAlign::Right},
    {"JunkFilesListView", "Type", 80, TextAlign::Left},
    {"JunkFilesListView", "Description", 230, TextAlign::Left},
    {"ScanListView", "Examining Drive", 345, TextAlign::Left},
    {"ScanListView", "Status", 80, TextAlign::Center},
    {"ReportListView", "Scanned Drive", 264, TextAlign::Left},
    {"ReportListView", "Total", 80, TextAlign::Center},
    {"ReportListView", "Space occupied", 90, TextAlign::Right},
    {"ReportStatusBar", "     Selected:", 264, TextAlign::Left},
    {"ReportStatusBar", "", 80, TextAlign::Center},
    {"ReportStatusBar", "", 80, TextAlign::Right},
    {"ReportStatusBar", "", 25, TextAlign::Left},
    // NextBtn2Click sets "Junk Files" to the list's width less every other
    // column and the scroll bar's room: a column added here takes its width
    // from the first one.
    {"CleanerListView", "Junk Files", 320, TextAlign::Left},
    {"CleanerListView", "Status", 100, TextAlign::Center},
};
const size_t kMainColumnCount = sizeof kMainColumns / sizeof kMainColumns[0];

}  // namespace cleaner
