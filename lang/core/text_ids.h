#pragma once

// String IDs of the language sections and keys of the product-string section. The numbers are the
// archive format's: every translation and every user's language file uses them.

int const kTextTranslator = 0;  // the later of a section's TranslatorName and TranslatorURL lines
int const kTextExit = 20;
int const kTextCancel = 21;
int const kTextLicence = 22;
int const kTextDonate = 25;
int const kTextProgramPage = 26;
int const kTextInfo = 27;
int const kTextMore = 28;
int const kTextStartWithWindows = 30;
int const kTextStartMinimized = 31;
int const kTextPickerButton = 40;  // "? Pixel ?"
int const kTextClickHint = 41;     // the picker's bottom strip
int const kTextHelpFirst = 42;     // 42 to 46: "Please:" and the four key lines of the info text
int const kTextHelpCount = 5;
int const kTextUsageHelp = 47;
int const kTextToTray = 51;
int const kTextRecommend = 52;
int const kTextSendProgram = 53;
int const kTextMoreFreeware = 54;
int const kTextUninstall = 55;
int const kTextAreYouSure = 56;
int const kTextMailSubject = 60;
int const kTextMailBody = 61;
int const kTextHotKey = 100;       // "Hot key:", the label of the picker page's hot-key field
int const kTextHotKeyTaken = 101;  // "%s is in use by another program.", %s the combination
// The uninstall question, and what the user learns when a step of uninstall, the translation
// template or the mail cannot be done (followed by the file, or Simple MAPI's error number).
int const kTextUninstallDeletes = 110;  // followed by the program's files
int const kTextNotWritten = 111;
int const kTextNotDeleted = 112;
int const kTextMailFailed = 113;
int const kTextLanguageFileEmpty = 130;      // a language file without a single byte
int const kTextLanguageFileMarkOnly = 131;   // a language file of only a byte-order mark
int const kTextLanguageFileBigEndian = 132;  // a language file in UTF-16 big-endian
int const kTextSaveAsUtf8 = 133;             // what to do about a big-endian file

int const kProductNameVersion = 19;        // "Huepeek 3.36"
int const kProductSiteGerman = 20;         // the maker's site for the German user interface
int const kProductSiteInternational = 21;  // the maker's site for every other language
int const kProductFreewareNotice = 22;     // a format with one "%s": the language-rule site
int const kProductTranslationRequest = 25;
int const kProductVersionLine = 26;  // "Version 3.36 Build 001 "
int const kProductNotice = 27;
