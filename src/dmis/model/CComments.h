#pragma once

#include "dmis/model/CComment.h"
#include "dmis/model/OwnedCollection.h"

namespace vantreel {

class BasicWriter;
class Datastream;

// All comment lines of a program, in source order.
class CComments {
    using Comments = OwnedCollection<CComment, std::allocator<std::unique_ptr<CComment>>>;

  public:
    CComment& AddComment(std::unique_ptr<CComment> objComment) {
        return comments_.Add(std::move(objComment));
    }
    int32_t Count() const noexcept { return comments_.Count(); }
    CComment& Item(int32_t vKeyIndex) const { return comments_.Item(vKeyIndex); }
    Comments::const_iterator begin() const { return comments_.begin(); }
    Comments::const_iterator end() const { return comments_.end(); }

    // Removes every comment, last to first.
    void RemoveAllFromCol() {
        while (comments_.TakeLast()) {
        }
    }
    void Terminate() { RemoveAllFromCol(); }

    // Writes the comments up to line lLineNo (all that are left when
    // vAllAfter) as Basic comment lines.
    void WriteToBas(BasicWriter& writer, int32_t lLineNo, int32_t iOffset, bool vAllAfter);

    // Saves and loads the object in the model stream layout.
    void WriteStream(Datastream& objStream) const;
    void ReadStream(Datastream& objStream);

  private:
    Comments comments_;
};

}  // namespace vantreel
