#pragma once

// The folder tree: a SysTreeView32 over the shell namespace. The single top
// node is the desktop; every node stands for a folder and keeps its absolute
// item ID list; children are read from the shell when a node is first
// expanded, folders only, hidden ones included.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/folder_routes.h"
#include "platform/ui.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

class ShellTree final : public platform::FolderTree {
 public:
  // rootPath names the folder the top node stands for; empty means the
  // desktop, the root of the namespace (the product always uses that).
  // routes finds a folder by its file-system path where the shell's parsed
  // route is not the tree's; null: the system's.
  explicit ShellTree(std::wstring rootPath = {}, platform::FolderRoutes* routes = nullptr);
  ~ShellTree() override;
  ShellTree(const ShellTree&) = delete;
  ShellTree& operator=(const ShellTree&) = delete;

  bool create(HWND parent, int id, HFONT font, UINT dpi);
  HWND hwnd() const { return hwnd_; }

  // Called at every change of the selected node, at once.
  void setSelectionChanged(std::function<void()> handler) {
    selectionChanged_ = std::move(handler);
  }

  // Creates the top node, expands it and selects it (which reports the change).
  void populate();

  // A WM_NOTIFY from the control. True when answered, with the result to return.
  bool handleNotify(const NMHDR& header, LRESULT& result);

  void rescale(UINT dpi);

  std::string selectedPath() const override;
  void refresh() override;
  // The walk follows the route the shell parses the path to; when the tree
  // shows the folder by another route it is found by the path's canonical
  // form, then by the names below the top node's own folder (a folder on
  // the Desktop given through its drive).
  bool selectFolder(const std::string& path) override;
  void clearSelection() override;

 private:
  struct Node {
    UniquePidl pidl;  // absolute
    bool childrenRead = false;
  };

  UniquePidl rootPidl() const;
  Node* nodeOf(HTREEITEM item) const;
  ComPtr<IShellFolder> folderOf(LPCITEMIDLIST absolute) const;
  std::wstring displayName(LPCITEMIDLIST absolute, SHGDNF flags) const;
  HTREEITEM insertNode(HTREEITEM parent, HTREEITEM after, UniquePidl absolute,
                       const std::wstring& name, bool hasChildren);
  void readChildren(HTREEITEM item);
  void expandLikeOld(HTREEITEM oldItem, HTREEITEM newItem);
  HTREEITEM findNode(HTREEITEM first, LPCITEMIDLIST absolute) const;
  bool sameFolder(LPCITEMIDLIST a, LPCITEMIDLIST b) const;
  bool isExpanded(HTREEITEM item) const;
  // Whether the node's folder is target or holds it, at any depth.
  bool leadsTo(LPCITEMIDLIST node, LPCITEMIDLIST target) const;
  // The node of the parsed path down from the top node, reading each folder
  // on the way, and the nodes passed; null when the tree has no such route.
  HTREEITEM walkTo(const std::string& path, std::vector<HTREEITEM>& way);
  // The same by names, each a child of the one before, from the top node.
  HTREEITEM walkByNames(const std::vector<std::string>& names, std::vector<HTREEITEM>& way);
  // The folder the top node shows, as a file-system path.
  std::string topFolder() const;
  void reportSelectionChange();

  std::wstring rootPath_;
  platform::FolderRoutes& routes_;
  ComPtr<IShellFolder> desktop_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  std::function<void()> selectionChanged_;
  // The nodes the control's items point to; freed when the control deletes
  // an item, the rest with the tree.
  std::unordered_map<const Node*, std::unique_ptr<Node>> nodes_;
  // A refresh deletes and re-selects nodes; only its final selection counts.
  bool quiet_ = false;
};

}  // namespace platform::win32
