#pragma once

// Numbered commands of the program. The numbers are those of the key file
// and of the hand-over between instances, so they never change.

namespace lp::cmd {

// File
inline constexpr int kSendAndReceive = 32887;
inline constexpr int kReceive = 32785;
inline constexpr int kSend = 32786;
inline constexpr int kPatrol = 32939;
inline constexpr int kSendThisBox = 32771;
inline constexpr int kLanReceiveOnly = 32868;
inline constexpr int kImportFile = 32918;
inline constexpr int kImportFolder = 32917;
inline constexpr int kImport = 32897;
inline constexpr int kAnalyse = 32774;
// Mail of other programs (mbox, Maildir, MH): a number of our own.
inline constexpr int kImportOtherMail = 32980;
inline constexpr int kSaveAll = 32831;
inline constexpr int kConnect = 32885;
inline constexpr int kDisconnect = 32886;
inline constexpr int kNewMailbox = 57600;
inline constexpr int kDeleteAllOnServer = 32899;
inline constexpr int kTextExport = 32834;
inline constexpr int kTextExportSelected = 32947;
inline constexpr int kInsertTextFile = 32919;
inline constexpr int kSaveAsOtherMail = 32945;
inline constexpr int kSaveAsDraft = 32944;
inline constexpr int kSaveAsTemplate = 32942;
inline constexpr int kEmptyTrash = 32950;
inline constexpr int kPrint = 57607;
// Named "ﾌﾟﾘﾝﾀの設定" in key files; the preview offers the printer's settings.
inline constexpr int kPrintPreview = 57606;
inline constexpr int kExit = 57665;
inline constexpr int kExitAfterAsking = 32925;

// Edit
inline constexpr int kUndo = 57643;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kCopyQuoted = 32911;
inline constexpr int kPaste = 57637;
inline constexpr int kSelectAllText = 57642;
inline constexpr int kHalfKanaToFull = 32908;
inline constexpr int kFullToHalf = 32909;
inline constexpr int kInsertDate = 32910;
inline constexpr int kChangeMailDate = 32955;
inline constexpr int kFindInBox = 32819;
inline constexpr int kFindNextInBox = 32820;
inline constexpr int kFindPreviousInBox = 32895;
inline constexpr int kFindInText = 57636;
inline constexpr int kFindAll = 32821;
inline constexpr int kFindAllNext = 32822;
inline constexpr int kFindNextBox = 32872;

// Compose window
inline constexpr int kQueueAndClose = 32928;
inline constexpr int kSaveAndClose = 32929;
inline constexpr int kDiscardAndClose = 32930;
inline constexpr int kCloseCompose = 32931;

// Boxes
inline constexpr int kOpenReceiveBox = 32789;
inline constexpr int kOpenSendBox = 32790;
inline constexpr int kOpenSentBox = 32936;
inline constexpr int kOpenTrashBox = 32937;
inline constexpr int kOpenDraftBox = 32943;
inline constexpr int kNewBox = 32878;
inline constexpr int kNewFolder = 32877;
inline constexpr int kOpenBox = 57601;
inline constexpr int kCloseBox = 32935;
inline constexpr int kDeleteBox = 32879;
inline constexpr int kRenameBox = 32880;
inline constexpr int kBoxProperties = 32890;
inline constexpr int kCompactBox = 32807;
inline constexpr int kFocusMailList = 32951;
inline constexpr int kFocusPreview = 32952;
inline constexpr int kRefreshFolders = 32938;
inline constexpr int kRefreshUnreadMarks = 32881;

// Mail
inline constexpr int kNewMail = 32787;
inline constexpr int kNewMailInThisBox = 32776;
inline constexpr int kEditMail = 32808;
inline constexpr int kReply = 32788;
inline constexpr int kForward = 32833;
inline constexpr int kOpenMail = 32775;
inline constexpr int kCloseMail = 32922;
inline constexpr int kOpenAttachment = 32824;
inline constexpr int kRenameAttachment = 32891;
inline constexpr int kDeleteMail = 32777;
// Deleting without the trash box (Shift+Delete): a number of our own.
inline constexpr int kDeleteMailForGood = 32981;
inline constexpr int kSelectMail = 32927;
inline constexpr int kSelectAllMail = 32812;
inline constexpr int kSortToReceiveBox = 32876;
inline constexpr int kSortToSendBox = 32875;
inline constexpr int kAutoSortSelected = 32803;
inline constexpr int kAutoSortThisBox = 32804;
inline constexpr int kSortMenu = 32926;
inline constexpr int kSortByDate = 32797;
inline constexpr int kSortByFrom = 32795;
inline constexpr int kSortBySubject = 32796;
inline constexpr int kSortByLabel = 32825;
inline constexpr int kSortByStatus = 32826;
inline constexpr int kSetLabel = 32799;
inline constexpr int kMarkRead = 32784;
inline constexpr int kMarkUnread = 32781;
inline constexpr int kMarkSent = 32782;
inline constexpr int kMarkUnsent = 32783;
inline constexpr int kMoveThisMail = 32791;
inline constexpr int kAddToAddressBook = 32862;
inline constexpr int kGoToMailNo = 32823;

// View
inline constexpr int kConnectionSettings = 32773;
inline constexpr int kSettings = 32794;
inline constexpr int kFontSettings = 32793;
inline constexpr int kEditorSettings = 32953;
inline constexpr int kLanDirectorySettings = 32867;
inline constexpr int kLabelSettings = 32798;
inline constexpr int kAutoSortSettings = 32800;
inline constexpr int kSignatureSettings = 32941;
inline constexpr int kAddressBook = 32817;
inline constexpr int kPatrolSettings = 32965;
inline constexpr int kKeyCustomization = 32923;
inline constexpr int kDirectMailSettings = 32963;
inline constexpr int kDirectMailFromSelected = 32964;
inline constexpr int kSummaryView = 32863;
inline constexpr int kViewInBrowser = 32870;
inline constexpr int kNoPreview = 32903;
inline constexpr int kSplitRows = 32904;
inline constexpr int kSplitColumns = 32905;
inline constexpr int kLabelTotals = 32912;
inline constexpr int kConsistencyCheck = 32916;
inline constexpr int kSetClock = 32962;
inline constexpr int kSmallToolbar = 59392;
inline constexpr int kLargeToolbar = 32830;
inline constexpr int kNoToolbar = 32924;
inline constexpr int kStatusBar = 59393;
inline constexpr int kFunctionBar = 32971;
inline constexpr int kRefreshFunctionBar = 32972;
inline constexpr int kMailManager = 32882;
inline constexpr int kAutoForwardMode = 32961;
inline constexpr int kStatusUpdate = 32866;

// Window
inline constexpr int kCascade = 57650;
inline constexpr int kTileRows = 57651;
inline constexpr int kTileColumns = 57652;
inline constexpr int kCloseAllWindows = 32968;
inline constexpr int kRestoreAllWindows = 32969;
inline constexpr int kArrangeIcons = 57649;
inline constexpr int kCloseWindow = 57602;

// Help
inline constexpr int kHelp = 57666;
inline constexpr int kHelpKeyword = 32810;
inline constexpr int kHomePage = 32835;
inline constexpr int kVersionCheck = 32966;
inline constexpr int kAbout = 57664;

// Without a menu entry
inline constexpr int kReceiveForSendAndReceive = 32900;
inline constexpr int kNextPatrol = 32940;
inline constexpr int kTextExportAllBoxes = 32948;
inline constexpr int kProcessMailto = 32949;
inline constexpr int kCancelRun = 32888;

// The box menu's entries: the mailbox file at position n of the box list.
inline constexpr int kFirstBoxFile = 20000;
inline constexpr int kLastBoxFile = 25000;

}  // namespace lp::cmd
