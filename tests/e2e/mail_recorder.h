#pragma once
// The user's mail program as Simple MAPI finds it, for tests: the recording mail program of
// fixtures/mail_client_dll.cpp registered as the default, or no mail program at all.
#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

struct RecordedFile {
    ULONG position = 0;
    std::wstring path;  // as the mail program got it
    std::wstring name;
    std::wstring copy;  // the file as it was when the mail was composed
};

struct RecordedMail {
    std::wstring call;  // "MAPISendMail" or "MAPISendMailW"
    ULONG_PTR session = 0;
    ULONG_PTR owner = 0;
    ULONG flags = 0;
    ULONG reserved = 0;
    std::wstring subject;
    std::wstring text;
    ULONG recipients = 0;
    ULONG fileCount = 0;
    std::vector<RecordedFile> files;
};

// While it lives, HKLM\Software\Clients\Mail names the recording mail program (or, with
// registered false, no mail program), and the mails it gets are kept in the temporary folder.
// Wine's MAPI32.DLL reads the registration when a process loads it, so a program must load it
// only after this exists. The registration before is restored at the end.
class MailRecorder {
  public:
    explicit MailRecorder(bool registered = true);
    ~MailRecorder();
    MailRecorder(const MailRecorder&) = delete;
    MailRecorder& operator=(const MailRecorder&) = delete;

    std::vector<RecordedMail> Mails() const;
    bool WaitForMails(size_t count, DWORD timeoutMs) const;

  private:
    void DeleteRecords() const;
    std::wstring base_;
    std::wstring savedDefault_;
    bool hadDefault_ = false;
    ScopedEnvironment environment_;
};

}  // namespace e2e
