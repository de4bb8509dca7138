#include "AppFixture.h"


#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QApplication>
#include <QDialog>

#include "ImageControl.h"
#include "uKelvRef.h"
#include "uMain.h"
#include "Universe.h"

namespace fs = std::filesystem;

bool TScriptedDialogs::Confirm(QWidget*, const QString& question) {
    Questions.push_back(question);
    if (Answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << question.toStdString();
        return false;
    }
    const bool answer = Answers.front();
    Answers.pop_front();
    return answer;
}

void TScriptedDialogs::Message(QWidget*, const QString& text) {
    Messages.push_back(text);
}

void TScriptedDialogs::Error(QWidget*, const QString& text, const QString& detail) {
    Errors.push_back(text);
    ErrorDetails.push_back(detail);
}

bool TScriptedDialogs::AskSaveFile(QWidget*, TSaveDialog& dialog) {
    SaveRequests.push_back(dialog);
    if (!SaveAnswer) {
        ADD_FAILURE() << "unexpected save dialog";
        return false;
    }
    return SaveAnswer(dialog);
}

int TScriptedDialogs::ShowModal(QDialog& form) {
    ++FormsShown;
    form.setResult(QDialog::Rejected);
    form.show();
    QApplication::processEvents();
    if (!FormScripts.empty()) {
        auto script = std::move(FormScripts.front());
        FormScripts.pop_front();
        script(form);
    }
    if (form.isVisible()) form.reject();
    return form.result();
}

void TScriptedDialogs::ClearRecords() {
    Questions.clear();
    Messages.clear();
    Errors.clear();
    ErrorDetails.clear();
    SaveRequests.clear();
    FormsShown = 0;
}

namespace {

// Makes the table of every export present in dir and imports it.
void ImportFolder(const std::string& dir) {
    TUniverse universe;
    for (size_t i = 0; i < TUniverse::kTableCount; ++i) {
        const TTableSchema& schema = TUniverse::Schema(i);
        if (!fs::exists(dir + schema.ExportFile)) continue;
        CreateFromSchema(universe.Table(i), schema, dir + schema.TableFile);
        ImportFromSchema(universe.Table(i), schema, dir + schema.ExportFile);
    }
}

// The sample universe imported once per test process; tests get copies.
// The folder goes away with the process.
struct ImportedSampleFolder {
    ImportedSampleFolder() {
        for (size_t i = 0; i < TUniverse::kTableCount; ++i) {
            const std::string name = TUniverse::Schema(i).ExportFile;
            fs::copy_file(std::string(KELV_SAMPLE_DIR) + "/" + name, dir.File(name));
        }
        ImportFolder(dir.Path());
    }
    kelvtest::TempDir dir;
};

const std::string& ImportedSample() {
    static const ImportedSampleFolder folder;
    return folder.dir.Path();
}

}  // namespace

AppTest::AppTest() : appDir_(tempDir_.Path()) {
    fs::create_directory(DataDir());
    SetDebugMode(0);
}

AppTest::~AppTest() {
    program_.reset();
}

void AppTest::InstallSample() {
    for (const auto& entry : fs::directory_iterator(ImportedSample()))
        fs::copy_file(entry.path(), DataDir() + entry.path().filename().string(), fs::copy_options::overwrite_existing);
}

void AppTest::WriteData(const std::string& name, const std::string& bytes) const {
    std::ofstream out(DataFile(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void AppTest::ImportData() const {
    ImportFolder(DataDir());
}

TKelvProgram& AppTest::Start(const QStringList& arguments) {
    SetDebugMode(DebugSwitch(arguments));
    program_ = std::make_unique<TKelvProgram>(dialogs_, TProgramPaths{AppDir(), DataDir()});
    program_->Kelv->show();
    QApplication::processEvents();
    return *program_;
}

qint64 AppTest::ShownPictureKey() {
    return Kelv().Map->Picture().cacheKey();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

int CountLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int count = 0;
    while (std::getline(in, line))
        if (!line.empty() && line != "\r") ++count;
    return count;
}

std::vector<std::string> ListFolder(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
