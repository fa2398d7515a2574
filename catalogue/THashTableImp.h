#pragma once
#include <cstddef>
#include <cstdint>
#include <new>

// A hash table of records stored by value in 111 fixed buckets, each a
// singly linked list. Add keeps duplicates and puts each record in front,
// so Find returns the one added last.
template <class T>
class THashTableImp {
public:
    static const size_t BucketCount = 111;

    THashTableImp() = default;
    ~THashTableImp() { Clear(); }
    THashTableImp(const THashTableImp&) = delete;
    THashTableImp& operator=(const THashTableImp&) = delete;

    static size_t BucketOf(const T& record) { return record.HashValue() % BucketCount; }

    // 1 when stored, 0 when there was no memory for it (the record is dropped).
    int Add(const T& record)
    {
        // The program ends when copying the record's strings runs out of memory.
        Node* node = new (std::nothrow) Node{record, nullptr};
        if (!node)
            return 0;
        size_t bucket = BucketOf(record);
        node->Next = Buckets[bucket];
        Buckets[bucket] = node;
        ++Count;
        return 1;
    }

    const T* Find(const T& key) const
    {
        for (const Node* node = Buckets[BucketOf(key)]; node; node = node->Next)
            if (node->Value == key)
                return &node->Value;
        return nullptr;
    }

    size_t GetItemsInContainer() const { return Count; }

    // How many records a bucket holds; for tests and diagnostics.
    size_t BucketSize(size_t bucket) const
    {
        size_t n = 0;
        for (const Node* node = bucket < BucketCount ? Buckets[bucket] : nullptr; node; node = node->Next)
            ++n;
        return n;
    }

    // Calls `visit` with every record, bucket by bucket; for tools and tests.
    template <class F>
    void ForEach(F visit) const
    {
        for (const Node* head : Buckets)
            for (const Node* node = head; node; node = node->Next)
                visit(node->Value);
    }

    void Clear()
    {
        for (Node*& head : Buckets) {
            while (head) {
                Node* next = head->Next;
                delete head;
                head = next;
            }
        }
        Count = 0;
    }

private:
    struct Node {
        T Value;
        Node* Next;
    };

    Node* Buckets[BucketCount] = {};
    size_t Count = 0;
};
