// From the assembler's sections and symbol table to the object's sections, symbols
// and relocations: local labels stay local, PUBLIC names become global under their
// link names, and only the externals that are used reach the object.
#include "ObjectBuilder.h"

#include "Assembler.h"
#include "DebugInfo.h"
#include "SourceFiles.h"

namespace ml {

namespace {

SectionFlavor flavorOf(SectionKind k) {
    switch (k) {
        case SectionKind::Text:
            return SectionFlavor::Code;
        case SectionKind::Bss:
            return SectionFlavor::Bss;
        case SectionKind::Rodata:
            return SectionFlavor::ReadOnly;
        default:
            return SectionFlavor::Data;
    }
}

ObjectRelocType relocTypeOf(RelocKind k) {
    switch (k) {
        case RelocKind::Pc32:
            return ObjectRelocType::Pc32;
        case RelocKind::Abs16:
            return ObjectRelocType::Abs16;
        case RelocKind::Abs8:
            return ObjectRelocType::Abs8;
        case RelocKind::Pc8:
            return ObjectRelocType::Pc8;
        default:
            return ObjectRelocType::Abs32;
    }
}

bool isDefinedAddress(const Symbol& s) {
    return (s.kind == SymbolKind::Label || s.kind == SymbolKind::Procedure) && s.defined && s.section >= 0;
}

bool isExternal(const Symbol& s) { return s.kind == SymbolKind::External || s.kind == SymbolKind::Prototype; }

std::string baseName(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The entry named by END reaches the link driver as "/ENTRY:<ELF name>" in a
// .drectve section, which the final link leaves out of the program.
void addEntryDirective(ObjectFile& obj, const Assembler& assembler) {
    const Symbol* entry = assembler.entryPoint();
    if (!entry) return;
    const std::string text = "/ENTRY:" + assembler.linkName(*entry);
    ObjectSection directive;
    directive.name = ".drectve";
    directive.flavor = SectionFlavor::Directive;
    directive.data.assign(text.begin(), text.end());
    directive.size = static_cast<std::uint32_t>(text.size());
    obj.sections.push_back(std::move(directive));
}

}  // namespace

ObjectFile buildObject(const Assembler& assembler, bool debugInfo) {
    ObjectFile obj;
    if (assembler.files().count() > 0) obj.sourceName = baseName(assembler.files().file(0).path);
    for (const Section& s : assembler.sections()) {
        ObjectSection o;
        o.name = s.elfName;
        o.flavor = flavorOf(s.kind);
        o.alignment = s.alignment;
        if (s.kind == SectionKind::Bss) {
            o.size = s.size;
        } else {
            o.data = s.bytes;
            o.data.resize(s.size, 0);
            o.size = s.size;
        }
        obj.sections.push_back(std::move(o));
    }

    const auto& all = assembler.symbols().all();
    std::vector<std::int32_t> objectIndex(all.size() + 1, -1);
    obj.symbols.reserve(all.size());
    auto addSymbol = [&](const Symbol& s) {
        ObjectSymbol o;
        if (isDefinedAddress(s)) {
            o.binding = s.isPublic ? SymbolBinding::Global : SymbolBinding::Local;
            o.name = s.isPublic ? assembler.linkName(s) : s.name;
            o.section = s.section;
            o.value = static_cast<std::uint32_t>(s.value);
            o.size = s.sizeOf;
            o.type = s.kind == SymbolKind::Procedure ? SymbolType::Func
                     : s.type.isCode                 ? SymbolType::NoType
                                                     : SymbolType::Object;
        } else {
            o.binding = SymbolBinding::Global;
            o.name = assembler.linkName(s);
        }
        objectIndex[s.id] = static_cast<std::int32_t>(obj.symbols.size());
        obj.symbols.push_back(std::move(o));
    };
    for (const Symbol& s : all) {
        if (s.hidden) continue;
        if (isDefinedAddress(s))
            addSymbol(s);
        else if (isExternal(s) && s.referenced)
            addSymbol(s);
    }

    for (std::size_t i = 0; i < assembler.sections().size(); ++i) {
        for (const Relocation& r : assembler.sections()[i].relocations) {
            ObjectReloc o;
            o.offset = r.offset;
            o.type = relocTypeOf(r.kind);
            const Symbol& target = all[r.symbol - 1];
            if (target.kind == SymbolKind::Segment) {
                o.target.section = target.section;
            } else {
                if (objectIndex[target.id] < 0) addSymbol(target);
                o.target.symbol = objectIndex[target.id];
            }
            obj.sections[i].relocations.push_back(o);
        }
    }
    addEntryDirective(obj, assembler);
    if (debugInfo) addDebugInfo(obj, assembler);
    return obj;
}

}  // namespace ml
