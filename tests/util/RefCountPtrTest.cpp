// Reference counts through construction, copies, assignment and release.
#include <gtest/gtest.h>

#include "RefCounted.h"

namespace {

// Counts its own destructions.
class Tracked : public Utils::RefCounted {
public:
    explicit Tracked(int& destroyed) : destroyed_(destroyed) {}
    ~Tracked() override { ++destroyed_; }

private:
    int& destroyed_;
};

class TrackedChild : public Tracked {
public:
    using Tracked::Tracked;
};

// A list node: the only reference to the next node is held by this one.
class Node : public virtual Utils::RefCounted {
public:
    Utils::RefCountPtr<Node> next;

protected:
    ~Node() override = default; // only the pointer may delete it
    friend class NodeFactory;
};

class NodeFactory {
public:
    static Node* make() { return new Node; }
};

TEST(RefCountPtr, CountsEveryHolderAndDeletesWithTheLast)
{
    int destroyed = 0;
    {
        Utils::RefCountPtr<Tracked> a(new Tracked(destroyed));
        EXPECT_EQ(a->refCount(), 1);
        Utils::RefCountPtr<Tracked> b(a);
        Utils::RefCountPtr<Tracked> c;
        c = b;
        EXPECT_EQ(a->refCount(), 3);
        b.release();
        EXPECT_FALSE(b);
        EXPECT_EQ(a->refCount(), 2);
        a = nullptr;
        EXPECT_EQ(destroyed, 0);
        EXPECT_EQ(c->refCount(), 1);
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(RefCountPtr, AssigningTheHeldObjectKeepsItAliveWithItsCount)
{
    int destroyed = 0;
    Utils::RefCountPtr<Tracked> only(new Tracked(destroyed));
    Tracked* raw = only.get();
    only = only;
    only = raw;
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(only->refCount(), 1);
}

TEST(RefCountPtr, AssigningAnotherObjectReleasesTheOldOne)
{
    int destroyed = 0;
    Utils::RefCountPtr<Tracked> p(new Tracked(destroyed));
    p = new Tracked(destroyed);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(p->refCount(), 1);
}

TEST(RefCountPtr, TakesAnObjectKeptAliveOnlyByTheOldOne)
{
    Utils::RefCountPtr<Node> head(NodeFactory::make());
    head->next = NodeFactory::make();
    head->next->next = NodeFactory::make();
    head = head->next; // the old head held the only reference to the new one
    EXPECT_EQ(head->refCount(), 1);
    ASSERT_TRUE(head->next);
    EXPECT_EQ(head->next->refCount(), 1);
    head = head->next;
    EXPECT_FALSE(head->next);
}

TEST(RefCountPtr, ConvertsFromADerivedPointerSharingTheCount)
{
    int destroyed = 0;
    Utils::RefCountPtr<TrackedChild> child(new TrackedChild(destroyed));
    Utils::RefCountPtr<Tracked> base(child);
    EXPECT_EQ(base->refCount(), 2);
    child.release();
    base.release();
    EXPECT_EQ(destroyed, 1);
}

TEST(RefCounted, CopiesStartUncountedAndAssignmentKeepsTheCount)
{
    int destroyed = 0;
    Utils::RefCountPtr<Tracked> held(new Tracked(destroyed));
    Tracked copy(*held);
    EXPECT_EQ(copy.refCount(), 0);
    static_cast<Utils::RefCounted&>(*held) = copy;
    EXPECT_EQ(held->refCount(), 1);
}

} // namespace
