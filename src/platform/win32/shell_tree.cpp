#include "platform/win32/shell_tree.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "platform/collation.h"
#include "platform/win32/design_fonts.h"
#include "platform/win32/dpi.h"
#include "platform/win32/utf.h"
#include "platform/win32/window_text.h"

namespace platform::win32 {

namespace {

constexpr int kIndent = 19;
// The action bits of TVN_ITEMEXPANDING (expand, collapse), without the flags.
constexpr UINT kExpandActionMask = 0x0003;
constexpr SHCONTF kChildKinds = SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN;

// Shows the hourglass for as long as the shell is being read.
class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

std::wstring strRetText(STRRET& value, LPCITEMIDLIST pidl) {
  wchar_t* text = nullptr;
  if (FAILED(StrRetToStrW(&value, pidl, &text)) || !text) return {};
  std::wstring result(text);
  CoTaskMemFree(text);
  return result;
}

struct IconIndices {
  int normal = 0;
  int open = 0;
};

IconIndices shellIcons(LPCITEMIDLIST absolute) {
  IconIndices icons;
  SHFILEINFOW info{};
  constexpr UINT kFlags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
  if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof(info), kFlags)) {
    icons.normal = info.iIcon;
  }
  icons.open = icons.normal;
  if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof(info),
                     kFlags | SHGFI_OPENICON)) {
    icons.open = info.iIcon;
  }
  return icons;
}

}  // namespace

ShellTree::ShellTree(std::wstring rootPath, platform::FolderRoutes* routes)
    : rootPath_(std::move(rootPath)), routes_(routes ? *routes : platform::systemFolderRoutes()) {
  SHGetDesktopFolder(desktop_.put());
}

ShellTree::~ShellTree() = default;

bool ShellTree::create(HWND parent, int id, HFONT font, UINT dpi) {
  // No TVS_LINESATROOT: the top node has neither lines nor a button. No
  // TVS_EDITLABELS: folders are not renamed here.
  constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASBUTTONS |
                           TVS_HASLINES | TVS_SHOWSELALWAYS;
  hwnd_ = createControl(WC_TREEVIEWW, "", kStyle, WS_EX_CLIENTEDGE, RECT{}, parent, id);
  if (!hwnd_) return false;
  setControlFont(hwnd_, font);
  rescale(dpi);
  return true;
}

void ShellTree::rescale(UINT dpi) {
  dpi_ = dpi;
  TreeView_SetIndent(hwnd_, scaleToDpi(kIndent, dpi));
}

UniquePidl ShellTree::rootPidl() const {
  LPITEMIDLIST pidl = nullptr;
  if (rootPath_.empty()) {
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &pidl))) return nullptr;
  } else if (desktop_) {
    std::wstring path = rootPath_;
    if (FAILED(
            desktop_->ParseDisplayName(nullptr, nullptr, path.data(), nullptr, &pidl, nullptr))) {
      return nullptr;
    }
  }
  return UniquePidl(pidl);
}

ShellTree::Node* ShellTree::nodeOf(HTREEITEM item) const {
  if (!item) return nullptr;
  TVITEMW data{};
  data.mask = TVIF_PARAM | TVIF_HANDLE;
  data.hItem = item;
  if (!TreeView_GetItem(hwnd_, &data)) return nullptr;
  return reinterpret_cast<Node*>(data.lParam);
}

ComPtr<IShellFolder> ShellTree::folderOf(LPCITEMIDLIST absolute) const {
  if (!desktop_ || !absolute) return {};
  if (ILIsEmpty(absolute)) return desktop_;
  ComPtr<IShellFolder> folder;
  if (FAILED(desktop_->BindToObject(absolute, nullptr, IID_IShellFolder, folder.putVoid()))) {
    return {};
  }
  return folder;
}

std::wstring ShellTree::displayName(LPCITEMIDLIST absolute, SHGDNF flags) const {
  if (!desktop_ || !absolute) return {};
  STRRET name{};
  if (FAILED(desktop_->GetDisplayNameOf(absolute, flags, &name))) return {};
  return strRetText(name, absolute);
}

HTREEITEM ShellTree::insertNode(HTREEITEM parent, HTREEITEM after, UniquePidl absolute,
                                const std::wstring& name, bool hasChildren) {
  const IconIndices icons = shellIcons(absolute.get());
  auto node = std::make_unique<Node>();
  node->pidl = std::move(absolute);

  std::wstring text = name;
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.pszText = text.data();
  insert.item.iImage = icons.normal;
  insert.item.iSelectedImage = icons.open;
  insert.item.cChildren = hasChildren ? 1 : 0;
  insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
  HTREEITEM item = TreeView_InsertItem(hwnd_, &insert);
  if (item) {
    const Node* key = node.get();
    nodes_.emplace(key, std::move(node));
  }
  return item;
}

void ShellTree::populate() {
  UniquePidl root = rootPidl();
  if (!root || !hwnd_) return;
  SHFILEINFOW info{};
  const auto images = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(reinterpret_cast<LPCWSTR>(root.get()), 0, &info, sizeof(info),
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  // The system image list is shared; the tree never destroys it.
  if (images) TreeView_SetImageList(hwnd_, images, TVSIL_NORMAL);
  // Attaching the images resets the indent to the icon width.
  rescale(dpi_);

  const std::wstring name = displayName(root.get(), SHGDN_NORMAL);
  HTREEITEM top = insertNode(TVI_ROOT, TVI_LAST, std::move(root), name, true);
  if (!top) return;
  TreeView_Expand(hwnd_, top, TVE_EXPAND);
  TreeView_SelectItem(hwnd_, top);
}

void ShellTree::readChildren(HTREEITEM item) {
  Node* node = nodeOf(item);
  if (!node || node->childrenRead) return;
  node->childrenRead = true;
  WaitCursor wait;

  ComPtr<IShellFolder> folder = folderOf(node->pidl.get());
  std::vector<UniquePidl> children;
  if (folder) {
    ComPtr<IEnumIDList> items;
    if (folder->EnumObjects(hwnd_, kChildKinds, items.put()) == S_OK && items) {
      LPITEMIDLIST child = nullptr;
      while (items->Next(1, &child, nullptr) == S_OK) children.emplace_back(child);
    }
    // The shell's own order of its items, as Explorer shows them.
    std::stable_sort(children.begin(), children.end(),
                     [&folder](const UniquePidl& a, const UniquePidl& b) {
                       const HRESULT order = folder->CompareIDs(0, a.get(), b.get());
                       return SUCCEEDED(order) && static_cast<short>(HRESULT_CODE(order)) < 0;
                     });
  }

  for (UniquePidl& child : children) {
    LPCITEMIDLIST relative = child.get();
    SFGAOF attributes = SFGAO_HASSUBFOLDER;
    if (FAILED(folder->GetAttributesOf(1, &relative, &attributes))) attributes = SFGAO_HASSUBFOLDER;
    STRRET name{};
    std::wstring text;
    if (SUCCEEDED(folder->GetDisplayNameOf(relative, SHGDN_NORMAL, &name))) {
      text = strRetText(name, relative);
    }
    UniquePidl absolute(ILCombine(node->pidl.get(), relative));
    if (!absolute) continue;
    insertNode(item, TVI_LAST, std::move(absolute), text, (attributes & SFGAO_HASSUBFOLDER) != 0);
  }

  if (!TreeView_GetChild(hwnd_, item)) {
    // Nothing inside: drop the expand button.
    TVITEMW data{};
    data.mask = TVIF_CHILDREN | TVIF_HANDLE;
    data.hItem = item;
    data.cChildren = 0;
    TreeView_SetItem(hwnd_, &data);
  }
}

bool ShellTree::handleNotify(const NMHDR& header, LRESULT& result) {
  const auto& tree = reinterpret_cast<const NMTREEVIEWW&>(header);
  switch (header.code) {
    case TVN_ITEMEXPANDINGW:
      if ((tree.action & kExpandActionMask) == TVE_EXPAND) readChildren(tree.itemNew.hItem);
      result = FALSE;
      return true;
    case TVN_DELETEITEMW:
      nodes_.erase(reinterpret_cast<const Node*>(tree.itemOld.lParam));
      result = 0;
      return true;
    case TVN_SELCHANGEDW:
      if (!quiet_) reportSelectionChange();
      result = 0;
      return true;
    case NM_RCLICK:
      // Answered: no context menu, and the selection stays where it was.
      result = TRUE;
      return true;
    default:
      return false;
  }
}

void ShellTree::reportSelectionChange() {
  if (selectionChanged_) selectionChanged_();
}

std::string ShellTree::selectedPath() const {
  const Node* node = nodeOf(TreeView_GetSelection(hwnd_));
  if (!node) return {};
  std::wstring path = displayName(node->pidl.get(), SHGDN_FORPARSING);
  // Virtual objects (the computer, the network) have no file-system path.
  if (path.rfind(L"::{", 0) == 0) path = displayName(node->pidl.get(), SHGDN_NORMAL);
  return narrow(path);
}

bool ShellTree::isExpanded(HTREEITEM item) const {
  return (TreeView_GetItemState(hwnd_, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

bool ShellTree::sameFolder(LPCITEMIDLIST a, LPCITEMIDLIST b) const {
  if (!a || !b) return false;
  const HRESULT order = desktop_->CompareIDs(0, a, b);
  if (SUCCEEDED(order)) return HRESULT_CODE(order) == 0;
  return ILIsEqual(a, b) != FALSE;
}

HTREEITEM ShellTree::findNode(HTREEITEM first, LPCITEMIDLIST absolute) const {
  for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(hwnd_, item)) {
    const Node* node = nodeOf(item);
    if (node && sameFolder(node->pidl.get(), absolute)) return item;
    if (HTREEITEM child = TreeView_GetChild(hwnd_, item)) {
      if (HTREEITEM found = findNode(child, absolute)) return found;
    }
  }
  return nullptr;
}

void ShellTree::expandLikeOld(HTREEITEM oldItem, HTREEITEM newItem) {
  if (!isExpanded(oldItem)) return;
  // Expanding reads the new node's children from the shell.
  TreeView_Expand(hwnd_, newItem, TVE_EXPAND);
  for (HTREEITEM oldChild = TreeView_GetChild(hwnd_, oldItem); oldChild;
       oldChild = TreeView_GetNextSibling(hwnd_, oldChild)) {
    if (!isExpanded(oldChild)) continue;
    const Node* oldNode = nodeOf(oldChild);
    if (!oldNode) continue;
    for (HTREEITEM newChild = TreeView_GetChild(hwnd_, newItem); newChild;
         newChild = TreeView_GetNextSibling(hwnd_, newChild)) {
      const Node* newNode = nodeOf(newChild);
      if (newNode && sameFolder(oldNode->pidl.get(), newNode->pidl.get())) {
        expandLikeOld(oldChild, newChild);
        break;
      }
    }
  }
}

void ShellTree::refresh() {
  HTREEITEM oldTop = TreeView_GetRoot(hwnd_);
  const Node* oldTopNode = nodeOf(oldTop);
  if (!oldTopNode || !folderOf(oldTopNode->pidl.get())) return;

  // Folders are remembered by identity: their nodes are about to be replaced.
  const Node* firstVisible = nodeOf(TreeView_GetFirstVisible(hwnd_));
  const Node* selected = nodeOf(TreeView_GetSelection(hwnd_));
  const UniquePidl firstVisiblePidl = clonePidl(firstVisible ? firstVisible->pidl.get() : nullptr);
  const UniquePidl selectedPidl = clonePidl(selected ? selected->pidl.get() : nullptr);

  WaitCursor wait;
  SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);

  UniquePidl topPidl = clonePidl(oldTopNode->pidl.get());
  const std::wstring name = displayName(topPidl.get(), SHGDN_NORMAL);
  HTREEITEM newTop = insertNode(TVI_ROOT, TVI_FIRST, std::move(topPidl), name, true);
  if (newTop) {
    readChildren(newTop);
    expandLikeOld(oldTop, newTop);
  }

  quiet_ = true;
  TreeView_SelectItem(hwnd_, nullptr);
  TreeView_DeleteItem(hwnd_, oldTop);
  quiet_ = false;

  if (selectedPidl) {
    HTREEITEM again = newTop ? findNode(newTop, selectedPidl.get()) : nullptr;
    if (again) {
      TreeView_SelectItem(hwnd_, again);
    } else {
      // The folder has gone: the selection is now no node at all.
      reportSelectionChange();
    }
  }
  if (firstVisiblePidl && newTop) {
    if (HTREEITEM top = findNode(newTop, firstVisiblePidl.get())) {
      TreeView_SelectSetFirstVisible(hwnd_, top);
    }
  }

  SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

namespace {

int itemCount(LPCITEMIDLIST pidl) {
  int count = 0;
  for (LPCITEMIDLIST item = pidl; item && item->mkid.cb != 0; item = ILGetNext(item)) ++count;
  return count;
}

}  // namespace

bool ShellTree::leadsTo(LPCITEMIDLIST node, LPCITEMIDLIST target) const {
  const int depth = itemCount(node);
  if (depth > itemCount(target)) return false;
  // The target's first items, as many as the node has: its ancestor there.
  UniquePidl prefix(ILClone(target));
  if (!prefix) return false;
  LPITEMIDLIST end = prefix.get();
  for (int i = 0; i < depth; ++i) end = ILGetNext(end);
  if (end) end->mkid.cb = 0;
  return sameFolder(node, prefix.get());
}

HTREEITEM ShellTree::walkTo(const std::string& path, std::vector<HTREEITEM>& way) {
  std::wstring wide = widen(path);
  LPITEMIDLIST parsed = nullptr;
  if (FAILED(
          desktop_->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &parsed, nullptr))) {
    return nullptr;
  }
  const UniquePidl target(parsed);
  // Down from the top node, reading and expanding each folder on the way.
  HTREEITEM item = TreeView_GetRoot(hwnd_);
  const Node* node = nodeOf(item);
  if (!node || !leadsTo(node->pidl.get(), target.get())) return nullptr;
  way.clear();
  while (!sameFolder(node->pidl.get(), target.get())) {
    readChildren(item);
    HTREEITEM next = nullptr;
    for (HTREEITEM child = TreeView_GetChild(hwnd_, item); child;
         child = TreeView_GetNextSibling(hwnd_, child)) {
      const Node* childNode = nodeOf(child);
      if (childNode && leadsTo(childNode->pidl.get(), target.get())) {
        next = child;
        break;
      }
    }
    if (!next) return nullptr;
    way.push_back(item);
    item = next;
    node = nodeOf(item);
  }
  return item;
}

HTREEITEM ShellTree::walkByNames(const std::vector<std::string>& names,
                                 std::vector<HTREEITEM>& way) {
  HTREEITEM item = TreeView_GetRoot(hwnd_);
  way.clear();
  for (const std::string& name : names) {
    readChildren(item);
    const std::string wanted = platform::toLowerCase(name);
    HTREEITEM next = nullptr;
    for (HTREEITEM child = TreeView_GetChild(hwnd_, item); child && !next;
         child = TreeView_GetNextSibling(hwnd_, child)) {
      const Node* childNode = nodeOf(child);
      if (!childNode) continue;
      // The child's own name as the file system spells it.
      const std::wstring own =
          displayName(childNode->pidl.get(), SHGDN_INFOLDER | SHGDN_FORPARSING);
      if (platform::toLowerCase(narrow(own)) == wanted) next = child;
    }
    if (!next) return nullptr;
    way.push_back(item);
    item = next;
  }
  return item;
}

std::string ShellTree::topFolder() const {
  if (!rootPath_.empty()) return narrow(rootPath_);
  return routes_.desktopFolder();
}

bool ShellTree::selectFolder(const std::string& path) {
  if (!desktop_ || !hwnd_) return false;
  std::vector<HTREEITEM> way;
  HTREEITEM item = walkTo(path, way);
  if (!item) {
    // A junction, a mapped drive, a short name: the file system's own path
    // may be the route the tree shows.
    const std::string canonical = routes_.canonicalPath(path);
    if (!canonical.empty() && canonical != path) item = walkTo(canonical, way);
  }
  if (!item) {
    // The top node's own folder (the Desktop's) reached through a drive:
    // the tree shows its contents right under the top node.
    if (const auto names = platform::namesBelow(routes_, topFolder(), path)) {
      item = walkByNames(*names, way);
    }
  }
  if (!item) return false;
  for (HTREEITEM parent : way) TreeView_Expand(hwnd_, parent, TVE_EXPAND);
  TreeView_EnsureVisible(hwnd_, item);
  TreeView_SelectItem(hwnd_, item);
  return true;
}

void ShellTree::clearSelection() { TreeView_SelectItem(hwnd_, nullptr); }

}  // namespace platform::win32
