#pragma once

#include "TempDir.h"

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "IUserDialogs.h"
#include "KelvProgram.h"

class TKelv;

// Readable Qt text in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Answers the program's modal interactions from a script and records them.
// A question that has no scripted answer fails the test and is answered No.
class TScriptedDialogs final : public IUserDialogs {
public:
    std::deque<bool> Answers;                       // for Confirm, in order
    std::vector<QString> Questions;
    std::vector<QString> Messages;
    std::vector<QString> Errors;
    std::vector<QString> ErrorDetails;

    // Answers the save dialog: returns false for Cancel, or sets the path and
    // the filter and returns true. Unset: the test did not expect the dialog.
    std::function<bool(TSaveDialog&)> SaveAnswer;
    std::vector<TSaveDialog> SaveRequests;          // the dialog as it was shown

    // Acts on a form shown modally (clicks, keys); a form still open after
    // the script is cancelled. Unset: the form is cancelled at once.
    std::deque<std::function<void(QDialog&)>> FormScripts;
    int FormsShown = 0;

    bool Confirm(QWidget* parent, const QString& question) override;
    void Message(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text, const QString& detail) override;
    bool AskSaveFile(QWidget* parent, TSaveDialog& dialog) override;
    int ShowModal(QDialog& form) override;

    void ClearRecords();
};

// A fresh program folder per test: AppDir is a temporary folder and DataDir
// its "Data/" subfolder; removed afterwards.
class AppTest : public ::testing::Test {
protected:
    AppTest();
    ~AppTest() override;

    std::string AppDir() const { return appDir_; }
    std::string DataDir() const { return appDir_ + "Data/"; }
    std::string DataFile(const std::string& name) const { return DataDir() + name; }

    // Copies the sample universe's text exports into Data/ and imports them
    // into the five table files there.
    void InstallSample();
    // Writes Data/<name> exactly as given (Windows-1251 bytes for text).
    void WriteData(const std::string& name, const std::string& bytes) const;
    // Imports every text export present in Data/ into its table file.
    void ImportData() const;

    // Starts the program with the given command line (after the program's
    // path); checks FormCreate left no unexpected box open.
    TKelvProgram& Start(const QStringList& arguments = {});
    TKelv& Kelv() { return *program_->Kelv; }
    TKelvProgram& Program() { return *program_; }

    // The identity of the picture the window shows; changes when it redraws.
    qint64 ShownPictureKey();

    TScriptedDialogs dialogs_;

private:
    kelvtest::TempDir tempDir_;
    std::string appDir_;
    std::unique_ptr<TKelvProgram> program_;
};

std::string ReadFile(const std::string& path);
// The non-empty lines of a text file.
int CountLines(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> ListFolder(const std::string& path);
