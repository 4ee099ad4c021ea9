#include "services/core/self_delete_batch.h"

#include "base/core/bounded_text.h"

namespace {

// The batch's lines, in a bounded text; a batch that does not fit whole is no batch at all.
class BatchWriter {
  public:
    BatchWriter(char16_t* out, size_t capacity) : out_(out), text_(out, capacity) {}
    void Add(const char16_t* text) { text_.Put(text); }
    // A path in double quotes; cmd would expand "%name%" inside quotes too.
    void AddQuotedPath(const char16_t* path) {
        text_.Put(u'"');
        for (; *path; ++path) {
            if (*path == u'%') text_.Put(u'%');
            text_.Put(*path);
        }
        text_.Put(u'"');
    }
    // A file by its path in the text, or by its variable.
    void AddFile(BatchFile file, const char16_t* variable) {
        if (!file.throughVariable) {
            AddQuotedPath(file.path);
            return;
        }
        Add(u"\"%");
        Add(variable);
        Add(u"%\"");
    }
    void AddNumber(int value) { text_.PutDecimal(value); }
    void EndLine() { Add(u"\r\n"); }
    void Line(const char16_t* text) {
        Add(text);
        EndLine();
    }
    bool Finish() {
        if (!text_.Whole()) out_[0] = 0;
        return text_.Whole();
    }

  private:
    char16_t* out_;
    BoundedText text_;
};

}  // namespace

bool SelfDeleteBatchName(const char16_t* modulePath, char16_t* out, size_t capacity) {
    if (!out || !capacity) return false;
    const char16_t* name = modulePath ? modulePath : u"";
    for (const char16_t* c = name; *c; ++c)
        if (*c == u'\\' || *c == u'/') name = c + 1;
    BatchWriter writer(out, capacity);
    writer.Add(name);
    writer.Add(u"_selfdestruct.bat");
    return writer.Finish();
}

namespace {

bool HasChar(const char16_t* text, char16_t c) {
    for (; *text; ++text)
        if (*text == c) return true;
    return false;
}

}  // namespace

const char16_t kSelfDeleteExeVariable[] = u"HUEPEEK_UNINSTALL_EXE";
const char16_t kSelfDeleteSettingsVariable[] = u"HUEPEEK_UNINSTALL_SETTINGS";

BatchPathFault CheckBatchFilePath(const char16_t* path, bool throughVariable) {
    if (!path || !*path) return BatchPathFault::kNotExact;
    size_t length = 0;
    for (const char16_t* c = path; *c; ++c, ++length) {
        // None of these can stand in a Windows file name; in a batch they would match other files
        // or end the quotes.
        if (*c < 0x20 || *c == u'*' || *c == u'?' || *c == u'"' || *c == u'<' || *c == u'>' || *c == u'|')
            return BatchPathFault::kNotExact;
    }
    if (length >= kBatchPathLimit) return BatchPathFault::kTooLong;
    if (throughVariable && HasChar(path, u'%')) return BatchPathFault::kPercent;
    return BatchPathFault::kNone;
}

BatchPathFault CheckBatchOwnPath(const char16_t* path) {
    BatchPathFault const fault = CheckBatchFilePath(path, false);
    if (fault != BatchPathFault::kNone) return fault;
    return HasChar(path, u'%') ? BatchPathFault::kPercent : BatchPathFault::kNone;
}

bool BuildSelfDeleteBatch(BatchFile exe, BatchFile settings, int tries, char16_t* out, size_t capacity) {
    if (!out || !capacity) return false;
    if (!exe.path || !*exe.path) {
        out[0] = 0;
        return false;
    }
    BatchWriter batch(out, capacity);
    batch.Line(u"@echo off");
    // Delayed expansion, if the user's cmd turns it on, would read a "!" of a path as a variable.
    batch.Line(u"setlocal EnableExtensions DisableDelayedExpansion");
    batch.Line(u"set tries=0");
    batch.Line(u":Repeat");
    batch.Add(u"DEL ");
    batch.AddFile(exe, kSelfDeleteExeVariable);
    batch.EndLine();
    batch.Add(u"if not exist ");
    batch.AddFile(exe, kSelfDeleteExeVariable);
    batch.Add(u" goto Done");
    batch.EndLine();
    batch.Line(u"set /a tries+=1");
    // ping is the pause that every Windows has: one second between its two echoes.
    batch.Add(u"if %tries% lss ");
    batch.AddNumber(tries);
    batch.Add(u" (ping -n 2 127.0.0.1 >nul & goto Repeat)");
    batch.EndLine();
    batch.Line(u":Done");
    // Given up, the program is still there, and so stay its settings.
    if (settings.path && *settings.path) {
        batch.Add(u"if not exist ");
        batch.AddFile(exe, kSelfDeleteExeVariable);
        batch.Add(u" DEL ");
        batch.AddFile(settings, kSelfDeleteSettingsVariable);
        batch.EndLine();
    }
    // Last, on one line: cmd reads a batch line by line from its file, so after deleting its own
    // file it could not read another line; "exit" ends it before it tries.
    batch.Line(u"DEL \"%~f0\" & exit");
    return batch.Finish();
}
