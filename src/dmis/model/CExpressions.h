#pragma once

#include "dmis/model/NodePool.h"

#include "dmis/model/OwnedCollection.h"

#include <memory>
#include <new>

namespace vantreel {

class CExpression;
class Datastream;

// An ordered list of expression nodes: a statement's parameters.
class CExpressions : public Pooled<CExpressions> {
  public:
    CExpressions();
    ~CExpressions();
    CExpressions(const CExpressions&) = delete;
    CExpressions& operator=(const CExpressions&) = delete;

    // Releases the object; its memory goes back to the heap unless an arena holds it.
    static void operator delete(CExpressions* object, std::destroying_delete_t) noexcept {
        Destroy(object, object->inArena_);
    }
    using Pooled<CExpressions>::operator delete;

    CExpression& AddExpression(std::unique_ptr<CExpression> objExpression);
    int32_t Count() const noexcept { return expressions_.Count(); }
    CExpression& Item(int32_t vKeyIndex) const { return expressions_.Item(vKeyIndex); }
    OwnedCollection<CExpression>::const_iterator begin() const { return expressions_.begin(); }
    OwnedCollection<CExpression>::const_iterator end() const { return expressions_.end(); }

    // Removes the last node and hands it over; null when the list is empty.
    std::unique_ptr<CExpression> TakeLast() { return expressions_.TakeLast(); }

    // Terminates and removes every node, last to first.
    void RemoveAllFromCol();
    void Terminate() { RemoveAllFromCol(); }

    // Saves and loads the object in the model stream layout.
    void WriteStream(Datastream& objStream) const;
    void ReadStream(Datastream& objStream);

  private:
    OwnedCollection<CExpression> expressions_;
    bool inArena_ = MadeInArena(this);
};

}  // namespace vantreel
