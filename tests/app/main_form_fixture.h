// A main window of its own for each test: a home of its own (settings, cache, trash and
// session bus below its temporary folder), message boxes recorded, pages recorded instead of
// opened.
#pragma once

#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "app/main_form.h"
#include "environment.h"
#include "recording_message_boxes.h"
#include "temp_folder.h"
#include "url_recorder.h"

class QFileDialog;

namespace tessimar::testing {

// Long enough for a sanitizer build on a busy machine.
inline constexpr int DeadlineMs = 10000;

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest();

  // The settings file the window reads when it starts.
  std::string IniPath() const;
  void WriteSettings(const std::string& text) const;
  std::string ReadSettingsFile() const;

  // Creates and shows the window.
  TMainForm& Start(QUrl versionUrl = DefaultVersionUrl());

  template <typename T>
  T& Find(const char* name) const {
    T* found = window->findChild<T*>(QString::fromUtf8(name));
    if (found == nullptr) throw std::logic_error(std::string("no control ") + name);
    return *found;
  }

  QStringList Folders() const;
  void SelectFolder(int row) const;
  void Click(const char* name) const;
  // Drops local paths onto the window at the centre of the named control.
  void Drop(const QStringList& paths, const char* onto = "DirectoriesListBox") const;
  // Runs Add and answers the folder browser with folder, or cancels it when empty.
  void AddFolder(const QString& folder) const;
  // Clicks the named button and answers the folder browser it opens, as AddFolder.
  void AnswerFolderBrowser(const QString& folder, const char* button) const;

  // Runs action once, at the first pump of the event loop at which ready() holds; a
  // scan pumps the loop, so this acts from inside a running scan.
  void AtPump(std::function<bool()> ready, std::function<void()> action);
  // Forgets the action AtPump has not run yet.
  void StopPumpWatch();
  // The Start button, pressed; returns once the scan (if any) has ended.
  void PressStart() const;
  std::vector<RecordingMessageBoxes::Box> BoxesOf(RecordingMessageBoxes::Kind kind) const;

  TempFolder temp;
  // Outlives the window, which writes its settings and cache as it goes.
  IsolatedHome isolated{temp.Path()};
  RecordingMessageBoxes boxes;
  UrlRecorder urls;
  std::unique_ptr<TMainForm> window;

 private:
  QTimer pumpWatch_;
};

// A folder of pictures: a.jpg and its byte-identical copy b.jpg, and more on request.
std::string PictureFolder(const TempFolder& temp, const std::string& name, int extraPictures = 0);

}  // namespace tessimar::testing
