#include "TableCheck.h"

#include <cerrno>
#include <memory>
#include <new>
#include <vector>

#include "CustomTable.h"
#include "KelvErrors.h"
#include "TableLayout.h"

namespace {

[[noreturn]] void Raise(const std::string& text, const std::string& path, int code = 0) {
    if (code != 0) throw EInOutError(code, text, path);
    throw EKelvError(text, path);
}

// The file's bytes; a file over 2 GiB and running out of memory are worded
// as everywhere else.
std::vector<uint8_t> ReadWhole(ITableFile& file, const std::string& path) {
    try {
        return file.ReadAll();
    } catch (EInOutError& e) {
        if (e.Code() == EFBIG) Raise(kTooLargeText, path, EFBIG);
        e.SetContext(path);
        throw;
    } catch (const std::bad_alloc&) {
        Raise(kNotEnoughMemoryText, path);
    }
}

TTableLayout LayoutOf(const std::vector<uint8_t>& bytes) {
    return ReadTableLayout(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// Opens the file for changing, holding its lock; raises the engine's
// read-only and in-use errors.
std::unique_ptr<ITableFile> OpenForChange(ITableFileSystem& fs, const std::string& path) {
    std::unique_ptr<ITableFile> file;
    const int rc = fs.OpenExisting(path, TFileAccess::ReadWrite, file);
    if (rc == EACCES || rc == EROFS || rc == EPERM) {
        Raise(ReadOnlyReasonText(TReadOnlyReason::FileReadOnly), path, EACCES);
    }
    if (rc != 0) Raise(OpenStatusText(static_cast<TOpenStatus>(rc)), path, rc);
    if (!file->TryLock()) Raise(ReadOnlyReasonText(TReadOnlyReason::InUse), path, EWOULDBLOCK);
    return file;
}

// Cuts the file to the whole part of its layout and flushes it.
void CutTail(ITableFile& file, const TTableLayout& layout, const std::string& path) {
    try {
        file.Truncate(layout.WholeSize);
        file.Sync();
        file.Close();
    } catch (EKelvError& e) {
        e.SetContext(path);
        throw;
    }
}

// Writes the copy that repair keeps; a copy that fails is removed again.
void KeepCopy(ITableFileSystem& fs, const std::string& copyPath, const std::vector<uint8_t>& bytes) {
    std::unique_ptr<ITableFile> copy;
    try {
        copy = fs.CreateNew(copyPath);
    } catch (EInOutError& e) {
        if (e.Code() != EEXIST) throw;
        Raise(copyPath + " exists already; move it away to repair the table file", copyPath, EEXIST);
    }
    try {
        copy->WriteAt(0, bytes.data(), bytes.size());
        copy->Sync();
        copy->Close();
    } catch (...) {
        copy.reset();
        try {
            fs.Remove(copyPath);
        } catch (...) {
        }
        throw;
    }
}

}  // namespace

std::string RepairHint(const std::string& path) {
    return "run 'kelvmap-cli repair " + path + "' to recover its whole records";
}

TTableCheck CheckTableFile(ITableFileSystem& fs, const std::string& path) {
    TTableCheck check;
    std::vector<uint8_t> bytes;
    try {
        std::unique_ptr<ITableFile> file;
        const int rc = fs.OpenExisting(path, TFileAccess::ReadOnly, file);
        if (rc != 0) {
            check.Problem = OpenStatusText(static_cast<TOpenStatus>(rc));
            return check;
        }
        bytes = ReadWhole(*file, path);
    } catch (const std::exception& e) {
        check.Problem = e.what();
        return check;
    }
    TTableLayout layout = LayoutOf(bytes);
    check.Sound = layout.Damage == TTableDamage::None;
    check.Repairable = layout.Repairable;
    check.Problem = std::move(layout.Problem);
    check.Fields = std::move(layout.Fields);
    check.RecordCount = static_cast<int32_t>(layout.RecordCount);
    check.PartialTail = layout.TailSize;
    return check;
}

int32_t RepairTableFile(ITableFileSystem& fs, const std::string& path) {
    std::unique_ptr<ITableFile> file = OpenForChange(fs, path);
    const std::vector<uint8_t> bytes = ReadWhole(*file, path);
    const TTableLayout layout = LayoutOf(bytes);
    if (layout.Damage == TTableDamage::None) return static_cast<int32_t>(layout.RecordCount);
    if (!layout.Repairable) {
        Raise(layout.Problem + "; repair only cuts a partial record or field descriptor off the end, so the file "
                               "was left as it is",
              path);
    }
    KeepCopy(fs, path + ".bak", bytes);
    CutTail(*file, layout, path);
    return static_cast<int32_t>(layout.RecordCount);
}

bool CutPartialTail(ITableFileSystem& fs, const std::string& path) {
    // A first look without the lock, as most files are sound.
    {
        std::unique_ptr<ITableFile> file;
        if (fs.OpenExisting(path, TFileAccess::ReadOnly, file) != 0) return false;
        if (!LayoutOf(ReadWhole(*file, path)).Repairable) return false;
    }
    // Looked at again under the lock: another process may have changed it.
    std::unique_ptr<ITableFile> file = OpenForChange(fs, path);
    const TTableLayout layout = LayoutOf(ReadWhole(*file, path));
    if (!layout.Repairable) return false;
    CutTail(*file, layout, path);
    return true;
}
