// Seed key sequences of the age target: the field's behaviour as the user meets it
// (leading separator, leading zeros, a refused second separator, Backspace, a
// separator typed in front with the mouse, refused characters), in both locales.

#include "fuzz/AgeOps.h"
#include "fuzz/Seeds.h"

namespace uroflow::fuzz {
namespace {

class Keys {
  public:
    Keys(std::string name, char16_t separator) {
        seed_.name = std::move(name);
        seed_.bytes.push_back(separator == u',' ? 0 : 1);
    }
    // Each character pressed and released, as typing does.
    Keys& type(std::u16string_view keys) {
        for (const char16_t key : keys) {
            op(AgeOp::Press, static_cast<std::uint8_t>(kAgeKeys.find(key)));
            op(AgeOp::Release, 0);
        }
        return *this;
    }
    Keys& backspace() { return op(AgeOp::Release, 1); }
    Keys& click(std::uint8_t position) { return op(AgeOp::Click, position); }
    Keys& home() { return op(AgeOp::Caret, 2); }
    Keys& del() {
        seed_.bytes.push_back(static_cast<std::uint8_t>(AgeOp::Delete));
        return op(AgeOp::Release, 0);
    }
    Seed seed() const { return seed_; }

  private:
    Keys& op(AgeOp op, std::uint8_t argument) {
        seed_.bytes.push_back(static_cast<std::uint8_t>(op));
        seed_.bytes.push_back(argument);
        return *this;
    }
    Seed seed_;
};

}  // namespace

std::vector<Seed> ageSeeds() {
    return {
        Keys("separator-first", u',').type(u".").seed(),
        Keys("slash-point-locale", u'.').type(u"/5").seed(),
        Keys("leading-zero", u',').type(u"07").seed(),
        Keys("trailing-zeros", u',').type(u"10").type(u"0").seed(),
        Keys("decimal-zero", u',').type(u"1,0").seed(),
        Keys("double-zero", u',').type(u"00,").seed(),
        Keys("second-separator", u',').type(u"2,5,").seed(),
        Keys("backspace", u',').type(u"1,5").backspace().backspace().backspace().seed(),
        Keys("backspace-at-start", u',').type(u"12").home().backspace().seed(),
        Keys("separator-in-front", u',').type(u"55").click(0).type(u",").seed(),
        Keys("delete-in-front", u',').type(u"0,5").click(0).del().seed(),
        Keys("russian-layout", u',').type(u"3\u0431\u042E5").seed(),
        Keys("refused", u',').type(u"a-+ eE\b\r\u044F\u00C1").type(u"4").seed(),
    };
}

}  // namespace uroflow::fuzz
