// The directory list box and the drive combo box. They are not linked to each other; a
// form links them in their event handlers.
#pragma once

#include <string>
#include <vector>

#include "toolkit/win32/Controls.h"
#include "toolkit/win32/Layout.h"

// The folders of a path from its root down, as the directory list shows them: the root
// ("c:\", or "\\server\share" for a network folder), then each folder below it.
std::vector<std::string> PathFolders(const std::string& path);
// The lower-case drive letter of a path, or 0 for a network folder, which has none.
char PathDrive(const std::string& path);

// The current directory's path from the root down, then its subdirectories. A double
// click opens an entry. Setting the directory or the drive raises OnChange when that makes
// a change; directories are compared without regard to case, as Windows volumes compare
// names.
class TDirectoryListBox : public TWinControl {
public:
  explicit TDirectoryListBox(TComponent* owner);

  const std::string& Directory() const { return directory_; }
  // Raises EInOutError when the path is no accessible directory.
  void SetDirectory(const std::string& directory);
  // The lower-case drive letter of the directory; 0 in a network folder.
  char Drive() const;
  // Moves to the drive's current directory (its root unless the process has another); no
  // drive (0) leaves the list where it is.
  void SetDrive(char drive);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);

  // The entries as shown: the path's folders, then the subdirectories.
  int ItemCount() const { return static_cast<int>(entries_.size()); }
  const std::string& ItemPath(int index) const { return entries_.at(index).path; }
  // Opens the entry as a double click does.
  void OpenItem(int index);

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void CommandNotify(WORD code) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
  struct Entry {
    std::string path;
    std::string text;
    int level;
    bool open;  // a folder of the current path, not a subdirectory
  };
  void BuildList();
  void FillListWindow();
  void Change();

  std::string directory_;
  std::vector<Entry> entries_;
  int current_ = -1;
  int itemHeight_ = 16;
};

// The drives of the system. When the user picks an entry, OnClick runs while Drive is
// still the previous drive, then the box adopts the new one and raises OnChange.
class TDriveComboBox : public TWinControl {
public:
  explicit TDriveComboBox(TComponent* owner);

  // The lower-case letter of the drive shown; 0 when none is, as in a network folder.
  char Drive() const { return drive_; }
  // Shows the drive and raises OnChange when it differs from the one shown. No drive (0:
  // back to the network folder the program started in) shows no entry and raises
  // nothing, as there is no drive to check or move to.
  void SetDrive(char drive);

  int ItemCount() const { return static_cast<int>(letters_.size()); }
  char ItemDrive(int index) const { return letters_.at(index); }
  // What a user's choice of an entry does (the list's selection notification).
  void SelectItem(int index);

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void CommandNotify(WORD code) override;
  int WindowHeight() override;

private:
  void BuildList();
  void ShowDrive();

  char drive_;
  std::vector<char> letters_;
  std::vector<std::string> texts_;
};

// What layouts may set on these classes.
const TPropertyTable& DirectoryListBoxLayoutProperties();
const TPropertyTable& DriveComboBoxLayoutProperties();
