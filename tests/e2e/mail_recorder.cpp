#include "mail_recorder.h"

#include "files.h"

namespace e2e {

namespace {

wchar_t const kMailClients[] = L"Software\\Clients\\Mail";
wchar_t const kRecorderName[] = L"Huepeek Recording Mail";
wchar_t const kSeparator = 0x1F;

std::vector<std::wstring> SplitFields(const std::wstring& text) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (size_t end; (end = text.find(kSeparator, start)) != std::wstring::npos; start = end + 1)
        fields.push_back(text.substr(start, end - start));
    return fields;
}

ULONG_PTR Number(const std::wstring& text) {
    return ULONG_PTR(_wcstoui64(text.c_str(), nullptr, 10));
}

}  // namespace

MailRecorder::MailRecorder(bool registered)
    : base_(TempFolder() + L"huepeek-mail"), environment_(L"HUEPEEK_MAIL_RECORD", base_.c_str()) {
    DeleteRecords();
    wchar_t old[512] = {};
    DWORD bytes = sizeof(old) - sizeof(wchar_t);
    hadDefault_ = RegGetValueW(HKEY_LOCAL_MACHINE, kMailClients, nullptr, RRF_RT_REG_SZ, nullptr, old,
                               &bytes) == ERROR_SUCCESS;
    if (hadDefault_) savedDefault_ = old;
    if (!registered) {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kMailClients, nullptr);
        return;
    }
    std::wstring const client = std::wstring(kMailClients) + L"\\" + kRecorderName;
    std::wstring const dll = FixturePath(L"mail_client.dll");
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kMailClients, nullptr, REG_SZ, kRecorderName, sizeof(kRecorderName));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, client.c_str(), L"DLLPath", REG_SZ, dll.c_str(),
                    DWORD((dll.size() + 1) * sizeof(wchar_t)));
}

MailRecorder::~MailRecorder() {
    if (hadDefault_)
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kMailClients, nullptr, REG_SZ, savedDefault_.c_str(),
                        DWORD((savedDefault_.size() + 1) * sizeof(wchar_t)));
    else
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kMailClients, nullptr);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kMailClients) + L"\\" + kRecorderName).c_str());
    DeleteRecords();
}

void MailRecorder::DeleteRecords() const {
    WIN32_FIND_DATAW found;
    std::wstring const folder = TempFolder();
    HANDLE const search = FindFirstFileW((base_ + L".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do DeleteFileW((folder + found.cFileName).c_str());
    while (FindNextFileW(search, &found));
    FindClose(search);
}

std::vector<RecordedMail> MailRecorder::Mails() const {
    std::vector<RecordedMail> mails;
    for (int n = 1;; ++n) {
        std::string const bytes = FileBytes(base_ + L"." + std::to_wstring(n) + L".mail");
        if (bytes.empty()) break;
        std::wstring const text(reinterpret_cast<const wchar_t*>(bytes.data()),
                                bytes.size() / sizeof(wchar_t));
        std::vector<std::wstring> const f = SplitFields(text);
        RecordedMail mail;
        if (f.size() < 5) break;
        mail.call = f[0];
        mail.session = Number(f[1]);
        mail.owner = Number(f[2]);
        mail.flags = ULONG(Number(f[3]));
        mail.reserved = ULONG(Number(f[4]));
        if (f.size() >= 9) {
            mail.subject = f[5];
            mail.text = f[6];
            mail.recipients = ULONG(Number(f[7]));
            mail.fileCount = ULONG(Number(f[8]));
            for (size_t i = 9; i + 3 < f.size(); i += 4)
                mail.files.push_back({ULONG(Number(f[i])), f[i + 1], f[i + 2], f[i + 3]});
        }
        mails.push_back(mail);
    }
    return mails;
}

bool MailRecorder::WaitForMails(size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Mails().size() >= count; }, timeoutMs);
}

}  // namespace e2e
