#include "bench/bench_viewer.h"

#include <cstdio>

#include "bench/bench_people.h"

namespace bench {

BenchViewer::BenchViewer(const std::string& dataDir, const std::string& installDir) {
    platform::SetMessageBoxHandler(CountMessage, this);
    dirs_.SetDataDir(dataDir.c_str());
    dirs_.SetInstallDir(installDir.c_str());
    // Created as the view creates it when its window is created.
    session_ = std::make_unique<CSearchSession>(dirs_);
    session_->SetPageSize(false);
}

BenchViewer::~BenchViewer() {
    session_.reset();
    platform::SetMessageBoxHandler(nullptr, nullptr);
}

platform::MessageAnswer BenchViewer::CountMessage(const char* text, const char* caption,
                                                  platform::MessageButtons buttons,
                                                  platform::MessageIcon icon, const char* details,
                                                  void* context) {
    ++static_cast<BenchViewer*>(context)->messages_;
    return platform::StderrMessageBox(text, caption, buttons, icon, details, nullptr);
}

void BenchViewer::Search(const char* surname, const char* firstName) {
    Shown(session_->Search(kBenchRow, surname, firstName));
}

}  // namespace bench
