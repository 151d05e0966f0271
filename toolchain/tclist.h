#pragma once
// The ordered list shared by the toolchain and the project model.
//
// The list object is itself node 0 and holds element 0; further nodes hang off it
// by Prev/Next links. Beside the links the list keeps its further nodes in a deque,
// which never moves a node once made, so appending, counting and indexing take
// constant time while every node keeps the results the link walk would give.
// The links and Count are public for callers that walk the list, but only the
// list's own operations may change them.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <new>
#include <utility>

template <class T>
struct TCListNode {
  // Count sits beside Value so that small elements share its padding: a list of
  // code words holds millions of nodes.
  T Value{};
  int32_t Count = 0;  // meaningful in the list object only
  TCListNode* Prev = nullptr;
  TCListNode* Next = nullptr;
  TCListNode* Self = nullptr;

  TCListNode() = default;
  // Nodes belong to their list; copying one alone would duplicate its links.
  TCListNode(const TCListNode&) = delete;
  TCListNode& operator=(const TCListNode&) = delete;
};

template <class T>
class TCList : public TCListNode<T> {
 public:
  using Node = TCListNode<T>;

  TCList() { Init(); }
  ~TCList() = default;

  // Copies are always deep: they go through Assign.
  TCList(const TCList& other) : Node() {
    Init();
    Assign(other);
  }
  TCList& operator=(const TCList& other) { return Assign(other); }

  TCList(TCList&& other) noexcept : Node() {
    Init();
    TakeFrom(other);
  }
  TCList& operator=(TCList&& other) noexcept {
    if (this != &other) {
      Clear();
      TakeFrom(other);
    }
    return *this;
  }

  // Empties the list completely, its list object's Value included.
  TCList& Init() {
    mNodes.clear();
    this->Value = T{};
    this->Prev = nullptr;
    Node::Next = nullptr;
    this->Count = 0;
    this->Self = this;
    return *this;
  }

  bool Append(T value) {
    if (IsEmpty()) {
      try {
        this->Value = std::move(value);
      } catch (const std::bad_alloc&) {
        return false;
      }
      Node::Next = nullptr;
      this->Prev = nullptr;
      this->Count = 1;
      return true;
    }
    Node* last = Last();
    Node* node = NewNodeAtBack(std::move(value));
    if (node == nullptr) return false;
    last->Next = node;
    node->Prev = last;
    this->Count += 1;
    return true;
  }

  bool AddFirst(T value) {
    if (IsEmpty()) return Append(std::move(value));
    Node* node = nullptr;
    try {
      node = &mNodes.emplace_front();
    } catch (const std::bad_alloc&) {
      return false;
    }
    InitNode(node);
    // The list object keeps element 0, so the old element 0 moves into the new node.
    try {
      node->Value = this->Value;
      this->Value = std::move(value);
    } catch (const std::bad_alloc&) {
      this->Value = std::move(node->Value);
      mNodes.pop_front();
      return false;
    }
    Node* oldSecond = Node::Next;
    node->Prev = this;
    node->Next = oldSecond;
    if (oldSecond != nullptr) oldSecond->Prev = node;
    Node::Next = node;
    this->Count += 1;
    return true;
  }

  // Removes every element; the list object's Value stays as it was (it is no
  // longer an element) until the next Append or AddFirst overwrites it.
  void Clear() {
    mNodes.clear();
    this->Prev = nullptr;
    Node::Next = nullptr;
    this->Count = 0;
  }

  Node* First() { return this; }
  const Node* First() const { return this; }

  Node* Last() { return mNodes.empty() ? static_cast<Node*>(this) : &mNodes.back(); }
  const Node* Last() const {
    return mNodes.empty() ? static_cast<const Node*>(this) : &mNodes.back();
  }

  static Node* Next(Node* node) { return node == nullptr ? nullptr : node->Next; }
  static const Node* Next(const Node* node) { return node == nullptr ? nullptr : node->Next; }

  int32_t CountNodes() const {
    if (this->Count == 0 || this->Count == 1) return this->Count;
    return static_cast<int32_t>(mNodes.size()) + 1;
  }

  void UpdateCount() { this->Count = CountNodes(); }

  // Node by position; any index outside 0..Count-1 gives the last node, and an
  // empty list gives the list object.
  Node* Item(int32_t index) { return const_cast<Node*>(std::as_const(*this).Item(index)); }
  const Node* Item(int32_t index) const {
    if (index <= 0 || static_cast<size_t>(index) > mNodes.size()) {
      return index == 0 ? static_cast<const Node*>(this) : Last();
    }
    return &mNodes[static_cast<size_t>(index) - 1];
  }

  TCList& Assign(const TCList& other) {
    if (this == &other) return *this;
    Clear();
    if (other.Count == 0) {
      // Not an element, but copied all the same, as a walk from the list object would.
      this->Value = other.Value;
      return *this;
    }
    for (const Node* node = &other; node != nullptr; node = node->Next) {
      if (!Append(node->Value)) break;
    }
    return *this;
  }

 private:
  bool IsEmpty() const { return this->Count == 0 && Node::Next == nullptr; }

  void InitNode(Node* node) {
    node->Prev = nullptr;
    node->Next = nullptr;
    node->Count = 0;
    node->Self = node;
  }

  Node* NewNodeAtBack(T&& value) {
    Node* node = nullptr;
    try {
      node = &mNodes.emplace_back();
      InitNode(node);
      node->Value = std::move(value);
    } catch (const std::bad_alloc&) {
      if (node != nullptr) mNodes.pop_back();
      return nullptr;
    }
    return node;
  }

  // Takes over the other list's nodes; they stay where they are, only the link
  // from element 1 back to the list object changes.
  void TakeFrom(TCList& other) {
    this->Value = std::move(other.Value);
    this->Count = other.Count;
    mNodes = std::move(other.mNodes);
    Node::Next = mNodes.empty() ? nullptr : &mNodes.front();
    if (!mNodes.empty()) mNodes.front().Prev = this;
    other.Init();
  }

  std::deque<Node> mNodes;  // elements 1.. in order
};
