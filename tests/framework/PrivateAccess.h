#pragma once
// The main dialog keeps its settings and its hide guard private and offers no reader.
// Naming a private member in an explicit instantiation is allowed, so a test can read
// them without the class growing an interface only tests would use.
template <typename Tag, typename Tag::type Member>
struct PrivateAccess {
    friend typename Tag::type MemberOf(Tag) { return Member; }
};

#define PRIVATE_MEMBER_TAG(Tag, Class, Type, Member)          \
    struct Tag {                                              \
        using type = Type Class::*;                           \
        friend type MemberOf(Tag);                            \
    };                                                        \
    template struct PrivateAccess<Tag, &Class::Member>
