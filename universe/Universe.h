#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <functional>

#include "CustomTable.h"
#include "uSectors.h"

// The universe: the five tables of one data folder. It is the one place that
// knows them all; the window, the command-line tool, tests and benchmarks
// each hold a universe (as many as they like) and hand it to the renderer.
// Every table is described by its schema (file, export, fields, see uSectors.h).
class TUniverse {
public:
    // The tables, in the order in which "Load All" imports them.
    static constexpr size_t kTableCount = 5;

    // Tables read and write through fileSystem, which must outlive the universe.
    explicit TUniverse(ITableFileSystem& fileSystem = DefaultTableFileSystem());
    TUniverse(const TUniverse&) = delete;
    TUniverse& operator=(const TUniverse&) = delete;

    TSectors Sectors;
    TResources Resources;
    TFabs Fabs;
    TSectorsFabs SectorsFabs;
    TFabsResources FabsResources;

    // Table i (0 .. kTableCount - 1) and its schema, in import order.
    TCustomTable& Table(size_t i);
    const TCustomTable& Table(size_t i) const;
    static const TTableSchema& Schema(size_t i);

    // Opens every table on its file in dir (a folder ending with "/") and
    // returns the statuses. A table whose file is missing or refused stays
    // closed. Errors of the engine (a damaged file) are raised after the
    // other tables have been opened, for the first table that had one.
    std::array<TOpenStatus, kTableCount> OpenAll(const std::string& dir);

    // Opens every table on its file in dir and checks it. Raises, naming the
    // file, for the first one that cannot be opened, is not a table file or
    // does not have its table's schema. Readers (the command-line renderer)
    // open for reading only: they take no lock and are never blocked.
    void OpenChecked(const std::string& dir, TOpenMode mode = TOpenMode::ReadWrite);

    // Imports the five exports of dir into the open tables, in order. The
    // first failing import ends it: the tables before it stay imported, the
    // failing one keeps the lines before the bad one, the later ones are
    // untouched.
    void LoadAll(const std::string& dir);

    // Rebuilds the tables of dir from its exports, as `kelvmap-cli import`
    // does. Since an import replaces every record anyway, a partial record or
    // descriptor that a crash left at the end of a table file is cut off
    // first (CutPartialTail). Then every table file that exists is opened and
    // checked, and a file that is not a table file, or one of another schema,
    // is refused before anything is changed ("...; nothing was imported"); a
    // table file that is missing (or holds no fields) is made anew; then
    // LoadAll. `cut` is told the path of each table file whose partial tail
    // it cut, as it cuts it.
    void ImportFolder(const std::string& dir, const std::function<void(const std::string&)>& cut = {});

    // Closes every table (each stores a pending record first).
    void CloseAll();

private:
    std::array<TCustomTable*, kTableCount> tables_;
};
