// kelvmap-cli table maintenance: create, append, dump, delete, clear, check,
// repair.
#include <sys/stat.h>

#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "CliOutput.h"
#include "Commands.h"
#include "CustomTable.h"
#include "FieldValue.h"
#include "KelvErrors.h"
#include "Cp1251.h"
#include "TableCheck.h"

const char* const kCreateUsage =
    "  kelvmap-cli create FILE NAME:TYPE:SIZE...\n"
    "      Make a new table file FILE (it must not exist yet) with the given fields, in\n"
    "      order. TYPE 0 is an integer (SIZE 4), TYPE 1 a string of at most SIZE\n"
    "      characters (1 to 255). Example: create Resources.dat Code:0:4 Name:1:32\n";
const char* const kAppendUsage =
    "  kelvmap-cli append FILE FIELD=VALUE...\n"
    "      Append one record; fields not named are 0 or empty. Strings are given in\n"
    "      UTF-8 and stored as Windows-1251.\n";
const char* const kDumpUsage =
    "  kelvmap-cli dump FILE\n"
    "      Print the field names tab-separated, then one line per record in record\n"
    "      order (strings converted to UTF-8; TAB, line feed, carriage return and\n"
    "      backslash written as \\t, \\n, \\r and \\\\).\n";
const char* const kDeleteUsage =
    "  kelvmap-cli delete FILE N\n"
    "      Delete record N (counted from 0); the last record takes its place.\n";
const char* const kClearUsage =
    "  kelvmap-cli clear FILE\n"
    "      Delete every record; the fields stay.\n";
const char* const kCheckUsage =
    "  kelvmap-cli check FILE...\n"
    "      Say of each table file \"ok\" with its fields and record count, or what is\n"
    "      wrong with it. Exit status 0 when every file is sound, 1 otherwise.\n";
const char* const kRepairUsage =
    "  kelvmap-cli repair FILE\n"
    "      Recover the whole records of a table file that ends in a partial record\n"
    "      (or field descriptor), as a crash in the middle of a write can leave it:\n"
    "      keeps the file as FILE.bak and cuts the partial tail off. Any other\n"
    "      damage is refused and the file left as it is.\n";

namespace {

[[noreturn]] void Fail(const std::string& message) { throw EKelvError(message); }
// An argument of the wrong form: a usage error (exit status 2).
[[noreturn]] void Malformed(const std::string& message) { throw ECliUsage(message); }

// Opens an existing table file; every way it can fail is raised naming the file.
void OpenTable(TCustomTable& table, const std::string& path, TOpenMode mode = TOpenMode::ReadWrite) {
    RequireOpen(table, path, mode);
}

// Text for one line of output: TAB, LF, CR and backslash as \t \n \r \\, so
// that a record is always one line.
std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Shown(const std::string& cp1251) { return Escaped(Cp1251ToUtf8(cp1251)); }

bool ParseDecimal(const std::string& text, int32_t& out) { return TryTextToInteger(text, out); }

struct FieldSpec {
    std::string name;  // Windows-1251
    uint8_t type = 0;
    int32_t size = 0;
};

FieldSpec ParseFieldSpec(const std::string& fieldArg) {
    // NAME:TYPE:SIZE, split at the last two colons.
    const size_t second = fieldArg.rfind(':');
    const size_t first = second == std::string::npos || second == 0 ? std::string::npos : fieldArg.rfind(':', second - 1);
    if (first == std::string::npos) Malformed("'" + fieldArg + "': a field is given as NAME:TYPE:SIZE");
    FieldSpec f;
    f.name = Utf8ToCp1251(fieldArg.substr(0, first));
    const std::string typeText = fieldArg.substr(first + 1, second - first - 1);
    const std::string sizeText = fieldArg.substr(second + 1);
    int32_t type = 0;
    if (f.name.empty()) Malformed("'" + fieldArg + "': the field name is empty");
    if (f.name.size() > 31) Malformed("'" + fieldArg + "': a field name has at most 31 characters");
    if (!ParseDecimal(typeText, type) || (type != kFieldInteger && type != kFieldString)) {
        Malformed("'" + fieldArg + "': TYPE is 0 (integer) or 1 (string)");
    }
    f.type = static_cast<uint8_t>(type);
    if (!ParseDecimal(sizeText, f.size)) Malformed("'" + fieldArg + "': SIZE is not a number");
    if (f.type == kFieldInteger && f.size != 4) Malformed("'" + fieldArg + "': an integer field has SIZE 4");
    if (f.type == kFieldString && (f.size < 1 || f.size > 255)) {
        Malformed("'" + fieldArg + "': a string field has SIZE 1 to 255");
    }
    return f;
}

}  // namespace

int CmdCreate(const TCliArguments& arguments) {
    const std::vector<std::string>& args = arguments.Operands(2, TCliArguments::kAny);
    const std::string& path = args[0];
    std::vector<FieldSpec> fieldArgs;
    std::set<std::string> names;
    for (size_t i = 1; i < args.size(); ++i) {
        fieldArgs.push_back(ParseFieldSpec(args[i]));
        if (!names.insert(fieldArgs.back().name).second) Malformed("'" + args[i] + "': the field name is given twice");
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) Fail(path + ": already exists; delete it first to make a new table");

    TCustomTable table;
    try {
        table.CreateTableFile(path);  // a file it could not make whole is gone again
    } catch (const EInOutError& e) {
        Fail(path + ": cannot create (" + e.what() + ")");
    }
    try {
        OpenTable(table, path);
        for (const FieldSpec& f : fieldArgs) {
            const int32_t status = table.AddField(f.name, f.type, f.size);
            if (status != 0) {
                Fail(path + ": field '" + Cp1251ToUtf8(f.name) + "' refused (status " + std::to_string(status) + ")");
            }
        }
        table.Close();
    } catch (...) {
        // No half-made table is left behind.
        table.DiscardPending();
        try {
            table.Close();
        } catch (...) {
        }
        std::remove(path.c_str());
        throw;
    }
    return 0;
}

int CmdAppend(const TCliArguments& arguments) {
    const std::vector<std::string>& args = arguments.Operands(1, TCliArguments::kAny);
    const std::string& path = args[0];
    TCustomTable table;
    OpenTable(table, path);

    // Everything is checked before the record is begun, so that a bad
    // argument leaves the file as it was.
    std::vector<std::pair<int32_t, FieldValue>> values;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) Malformed("'" + arg + "': a value is given as FIELD=VALUE");
        const std::string name = Utf8ToCp1251(arg.substr(0, eq));
        const std::string text = arg.substr(eq + 1);
        const int32_t index = table.FieldIndex(name);
        if (index < 0) Fail(path + ": no field named '" + arg.substr(0, eq) + "'");
        const FieldDescriptor& d = table.Fields()[index];
        if (d.FieldType == kFieldInteger) {
            int32_t number = 0;
            if (!ParseDecimal(text, number)) throw EConvertError::NotAnInteger(text);
            values.emplace_back(index, FieldValue(number));
        } else {
            const std::string bytes = Utf8ToCp1251(text);
            const int32_t capacity = d.FieldSize - 1;
            if (static_cast<int64_t>(bytes.size()) > capacity) {
                Fail("'" + text + "': field '" + arg.substr(0, eq) + "' holds at most " + std::to_string(capacity) +
                     " characters");
            }
            values.emplace_back(index, FieldValue(bytes));
        }
    }

    try {
        table.AppendRecord();
        for (const auto& [index, value] : values) table.SetFieldValue(index, value);
        if (values.empty() && table.Fields().Count() > 0) {
            // A record of zeros still has to be stored: mark it by setting a field to itself.
            table.SetFieldValue(0, table.Fields()[0].FieldType == kFieldInteger ? FieldValue(0) : FieldValue(""));
        }
        table.Post();
    } catch (...) {
        table.DiscardPending();
        throw;
    }
    table.Close();
    return 0;
}

int CmdDump(const TCliArguments& arguments) {
    const std::string& path = arguments.Operands(1, 1)[0];
    TCustomTable table;
    OpenTable(table, path, TOpenMode::ReadOnly);
    const TFields& fields = table.Fields();
    std::string out;
    for (int32_t f = 0; f < fields.Count(); ++f) {
        if (f > 0) out += '\t';
        out += Shown(fields[f].FieldName);
    }
    out += '\n';
    for (int32_t r = 0; r < table.RecordCount(); ++r) {
        table.GoToRecord(r);
        for (int32_t f = 0; f < fields.Count(); ++f) {
            if (f > 0) out += '\t';
            const FieldValue v = table.GetFieldValue(f);
            out += v.IsInteger() ? std::to_string(v.IntValue()) : Shown(v.StrValue());
        }
        out += '\n';
        if (out.size() > (1u << 16)) {
            WriteOut(out);
            out.clear();
        }
    }
    WriteOut(out);
    table.Close();
    return 0;
}

int CmdDelete(const TCliArguments& arguments) {
    const std::vector<std::string>& args = arguments.Operands(2, 2);
    const std::string& path = args[0];
    int32_t n = 0;
    if (!ParseDecimal(args[1], n)) Malformed("'" + args[1] + "': N is a record number counted from 0");
    TCustomTable table;
    OpenTable(table, path);
    if (n < 0 || n >= table.RecordCount()) {
        Fail(path + ": no record " + args[1] + " (the table has " + std::to_string(table.RecordCount()) +
             " records, numbered from 0)");
    }
    table.DeleteRecord(n);
    table.Close();
    return 0;
}

int CmdClear(const TCliArguments& arguments) {
    TCustomTable table;
    OpenTable(table, arguments.Operands(1, 1)[0]);
    table.ClearTable();
    table.Close();
    return 0;
}

namespace {

// NAME:TYPE:SIZE, as create takes it.
std::string FieldList(const TFields& fields) {
    std::string out;
    for (int32_t f = 0; f < fields.Count(); ++f) {
        const FieldDescriptor& d = fields[f];
        const int32_t declared = d.FieldType == kFieldString ? d.FieldSize - 1 : d.FieldSize;
        out += (f > 0 ? ", " : "") + Shown(d.FieldName) + ":" + std::to_string(d.FieldType) + ":" +
               std::to_string(declared);
    }
    return out;
}

}  // namespace

int CmdCheck(const TCliArguments& arguments) {
    bool allSound = true;
    for (const std::string& path : arguments.Operands(1, TCliArguments::kAny)) {
        const TTableCheck check = CheckTableFile(DefaultTableFileSystem(), path);
        std::string line = path + ": ";
        if (check.Sound) {
            line += "ok: " + std::to_string(check.Fields.Count()) + " fields (" + FieldList(check.Fields) + "), " +
                    std::to_string(check.RecordCount) + " records\n";
        } else {
            allSound = false;
            line += check.Problem + "\n";
            if (check.Repairable) line += RepairHint(path) + "\n";
        }
        WriteOut(line);
    }
    return allSound ? 0 : 1;
}

int CmdRepair(const TCliArguments& arguments) {
    const std::string& path = arguments.Operands(1, 1)[0];
    ITableFileSystem& fs = DefaultTableFileSystem();
    const TTableCheck check = CheckTableFile(fs, path);
    if (check.Sound) {
        WriteOut(path + ": ok, nothing to repair (" + std::to_string(check.RecordCount) + " records)\n");
    } else {
        const int32_t kept = RepairTableFile(fs, path);  // refuses any other damage, changing nothing
        WriteOut(path + ": " + check.Problem + "\n" + path + ": repaired: cut " + std::to_string(check.PartialTail) +
                 " bytes off the end, kept " + std::to_string(kept) + " whole records; the file as it was is " +
                 path + ".bak\n");
    }
    return 0;
}
