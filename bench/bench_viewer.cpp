#include "bench/bench_viewer.h"

#include <cstdio>

#include "bench/bench_people.h"

namespace bench {

BenchViewer::BenchViewer(const std::string& dataDir, const std::string& installDir) {
    platform::SetMessageBoxHandler(CountMessage, this);
    dirs_.SetDataDir(dataDir.c_str());
    dirs_.SetInstallDir(installDir.c_str());
    // Created as the view creates them when its window is created.
    db_ = std::make_unique<CRecordDatabase>(dirs_);
    pager_ = std::make_unique<CResultPager>(db_.get());
    db_->SetPager(pager_.get());
    pager_->SetPageSize(false);
}

BenchViewer::~BenchViewer() {
    db_->Close();
    pager_.reset();
    db_.reset();
    platform::SetMessageBoxHandler(nullptr, nullptr);
}

platform::MessageAnswer BenchViewer::CountMessage(const char* text, const char* caption,
                                                  platform::MessageButtons buttons,
                                                  platform::MessageIcon icon, void* context) {
    ++static_cast<BenchViewer*>(context)->messages_;
    return platform::StderrMessageBox(text, caption, buttons, icon, nullptr);
}

void BenchViewer::Search(const char* surname, const char* firstName) {
    pager_->Reset();
    query_.SetSurname(surname);
    query_.SetDatabaseRow(kBenchRow);
    if (firstName != nullptr && firstName[0] != '\0') query_.SetFirstName(firstName);
    db_->Search(query_);
}

}  // namespace bench
