#!/usr/bin/python3
"""Writes the message layer's field tables, field index names and message classes from the compiled schema.

Usage: generate_nano_tables.py DESCRIPTOR_SET PB_HEADER OUT_DIR

The schema is the one source of truth: a field's index is its position in its message's declaration,
its type flags come from its protocol-buffer type and label, and every message gets one class.
Three files come out, lowest first: apm_message_tables.h/.cpp (the tables and the named field indexes,
on nano_message_type.h only) and apm_messages.h (the message classes, on apmpb_message.h).
"""
import os
import re
import sys

from google.protobuf import descriptor_pb2

FD = descriptor_pb2.FieldDescriptorProto
# The type flags of nano_message_type.h, by protocol-buffer type.
KIND_FLAGS = {
    FD.TYPE_BOOL: "kNanoBool",
    FD.TYPE_ENUM: "kNanoEnum",
    FD.TYPE_INT32: "kNanoInt32",
    FD.TYPE_UINT32: "kNanoUInt32",
    FD.TYPE_INT64: "kNanoInt64",
    FD.TYPE_UINT64: "kNanoUInt64",
    FD.TYPE_FLOAT: "kNanoFloat",
    FD.TYPE_DOUBLE: "kNanoDouble",
    FD.TYPE_STRING: "kNanoString",
    FD.TYPE_MESSAGE: "kNanoMessage",
    FD.TYPE_BYTES: "kNanoBytes",
}
GENERATED = "// Generated from the schema by generate_nano_tables.py; do not edit."


def fail(text):
    sys.stderr.write("generate_nano_tables: %s\n" % text)
    sys.exit(1)


def index_name(field_name):
    """The constant naming a field's index: "sdk_name" gives kSdkName, "field_15" kField15."""
    return "k" + "".join(part[:1].upper() + part[1:] for part in re.split(r"_+", field_name) if part)


def main():
    if len(sys.argv) != 4:
        fail("usage: generate_nano_tables.py DESCRIPTOR_SET PB_HEADER OUT_DIR")
    descriptor_set, pb_header, out_dir = sys.argv[1:]
    files = descriptor_pb2.FileDescriptorSet()
    with open(descriptor_set, "rb") as f:
        files.ParseFromString(f.read())
    if len(files.file) != 1:
        fail("expected one schema file")
    schema = files.file[0]
    package = schema.package
    messages = list(schema.message_type)
    by_name = {m.name: m for m in messages}
    for m in messages:
        if m.nested_type or m.oneof_decl:
            fail("%s: nested messages and oneofs are not supported" % m.name)

    def sub_name(field):
        prefix = "." + package + "."
        if not field.type_name.startswith(prefix):
            fail("%s: unexpected type %s" % (field.name, field.type_name))
        return field.type_name[len(prefix):]

    def flags(field):
        if field.type not in KIND_FLAGS:
            fail("%s: unsupported type %d" % (field.name, field.type))
        if field.label == FD.LABEL_REQUIRED:
            fail("%s: required fields are not supported" % field.name)
        label = "kNanoRepeated" if field.label == FD.LABEL_REPEATED else "kNanoSingle"
        return "%s | %s" % (KIND_FLAGS[field.type], label)

    def repeated_slots(message, seen=()):
        # Repeated fields of the message and of the sub-messages nanopb embeds in its structure.
        count = 0
        for field in message.field:
            if field.label == FD.LABEL_REPEATED:
                count += 1
            elif field.type == FD.TYPE_MESSAGE:
                name = sub_name(field)
                if name in seen:
                    fail("%s: a single sub-message field may not recurse" % message.name)
                count += repeated_slots(by_name[name], seen + (message.name,))
        return count

    names = [m.name for m in messages]

    tables_header = [GENERATED, "#pragma once", "", "#include <cstdint>", "",
                     '#include "analytics/messages/nano_message_type.h"', "", "namespace apmpb_types {"]
    for name in names:
        tables_header.append("extern const NanoMessageType k%s;" % name)
    tables_header.append("inline constexpr int kMessageTypeCount = %d;" % len(names))
    tables_header.append("extern const NanoMessageType* const kAllMessageTypes[kMessageTypeCount];")
    tables_header.append("}  // namespace apmpb_types")
    tables_header.append("")
    tables_header.append("// The index of every field, named after the field: apmpb_fields::Flag::kIntValue.")
    tables_header.append("namespace apmpb_fields {")
    for m in messages:
        index_names = [index_name(f.name) for f in m.field]
        if len(set(index_names)) != len(index_names):
            fail("%s: two fields give the same index name" % m.name)
        tables_header.append("struct %s {" % m.name)
        for index, constant in enumerate(index_names):
            tables_header.append("    static constexpr int32_t %s = %d;" % (constant, index))
        tables_header.append("};")
    tables_header.append("}  // namespace apmpb_fields")
    tables_header.append("")

    # The per-type functions the tables point at are thin calls of the generic bodies in the message
    # info and codec; only this source, no header, reaches up to them.
    source = [GENERATED, '#include "apm_message_tables.h"', "", "#include <cstddef>", "",
              '#include "%s"' % os.path.basename(pb_header),
              '#include "analytics/messages/nano_message_codec.h"',
              '#include "analytics/messages/nano_message_info.h"', "", "namespace {"]
    for m in messages:
        n = m.name
        c_struct = "%s_%s" % (package, n)
        numbers = [f.number for f in m.field]
        if len(set(numbers)) != len(numbers):
            fail("%s: duplicate field numbers" % n)
        if len(m.field) > 127:
            fail("%s: too many fields" % n)
        source.append("")
        source.append("const uint32_t k%sFlags[] = {%s};" % (n, ", ".join(flags(f) for f in m.field)))
        rows = []
        for f in m.field:
            sub = "&apmpb_types::k%s" % sub_name(f) if f.type == FD.TYPE_MESSAGE else "nullptr"
            # nanopb gives optional numbers and sub-messages a has_ flag; strings and repeated fields are
            # callbacks without one.
            is_callback = f.label == FD.LABEL_REPEATED or f.type in (FD.TYPE_STRING, FD.TYPE_BYTES)
            has = "-1" if is_callback else "offsetof(%s, has_%s)" % (c_struct, f.name)
            rows.append('    {%d, %s, "%s", %s, offsetof(%s, %s), %s},' % (
                f.number, flags(f), f.name, sub, c_struct, f.name, has))
        source.append("const NanoFieldInfo k%sFields[] = {" % n)
        source.extend(rows)
        source.append("};")
        by_number = [-1] * (max(numbers) + 1)
        for index, number in enumerate(numbers):
            by_number[number] = index
        source.append("const int8_t k%sIndexByNumber[] = {%s};" % (n, ", ".join(str(i) for i in by_number)))
        source.append("static_assert(sizeof(%s) <= kNanoStructBufferSize);" % c_struct)
        source.append("static_assert(%d <= kNanoMaxRepeatedSlots);" % repeated_slots(m))
        source.append("int %sInit(APMNanoMessageInfo* info) { return APMNanoInitMessageInfo(apmpb_types::k%s, info); }" % (n, n))
        source.append("int %sReleaseField(APMNanoMessageInfo* info, int32_t index) {" % n)
        source.append("    return APMNanoReleaseMessageField(apmpb_types::k%s, info, index);" % n)
        source.append("}")
        source.append("int %sRelease(APMNanoMessageInfo* info) { return APMNanoReleaseMessageInfo(apmpb_types::k%s, info); }" % (n, n))
        source.append("int %sCopy(APMNanoMessageInfo** destination, const APMNanoMessageInfo* source) {" % n)
        source.append("    return APMNanoCopyMessageInfo(apmpb_types::k%s, destination, source);" % n)
        source.append("}")
        source.append("int %sDecode(const uint8_t* bytes, size_t length, APMNanoMessageInfo* info) {" % n)
        source.append("    return APMNanoDecodeMessage(apmpb_types::k%s, bytes, length, info);" % n)
        source.append("}")
        source.append("int64_t %sEncode(const APMNanoMessageInfo* info, uint8_t** buffer) {" % n)
        source.append("    return APMNanoEncodeMessage(apmpb_types::k%s, info, buffer);" % n)
        source.append("}")
    source.append("")
    source.append("}  // namespace")
    source.append("")
    source.append("namespace apmpb_types {")
    for m in messages:
        n = m.name
        source.append("const NanoMessageType k%s = {" % n)
        source.append('    "%s", &%s_%s_msg, sizeof(%s_%s), %d, k%sFlags, k%sFields,' % (
            n, package, n, package, n, len(m.field), n, n))
        source.append("    k%sIndexByNumber, %d, %d," % (n, max(f.number for f in m.field), repeated_slots(m)))
        source.append("    %sInit, %sReleaseField, %sRelease, %sCopy, %sDecode, %sEncode," % ((n,) * 6))
        source.append("};")
    source.append("const NanoMessageType* const kAllMessageTypes[kMessageTypeCount] = {")
    for name in names:
        source.append("    &k%s," % name)
    source.append("};")
    source.append("}  // namespace apmpb_types")
    source.append("")

    classes = [GENERATED, "#pragma once", "", '#include "analytics/messages/apmpb_message.h"',
               '#include "analytics/messages/proto/apm_message_tables.h"', ""]
    for name in names:
        classes.append("using APMPB%s = APMPBMessage<apmpb_types::k%s>;" % (name, name))
    classes.append("")

    os.makedirs(out_dir, exist_ok=True)
    for path, lines in (("apm_message_tables.h", tables_header), ("apm_message_tables.cpp", source),
                        ("apm_messages.h", classes)):
        with open(os.path.join(out_dir, path), "w") as f:
            f.write("\n".join(lines))


if __name__ == "__main__":
    main()
