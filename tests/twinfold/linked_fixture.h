// A linked fact file of two units, a.c and b.c, that both include x.h; b.c's
// copy of x.h holds a macro that a.c's copy lacks. Expected outputs are
// worked out by hand: the parser visits a.c before b.c, so $ROOT lists b.c
// first; the chain of merge candidates holds a.c's copy of x.h first, so
// that copy is kept.
#pragma once

#include <string>

// The sections of a TA file as twinfold writes it, around the given lines.
inline std::string taText(const std::string &instances, const std::string &contains, const std::string &edges,
                          const std::string &attributes)
{
    return "FACT TUPLE :\n\n// Instances of entity classes\n\n" + instances +
           "\n// Containment relationships\n\n" + contains + "\n// Edges of entity classes\n\n" + edges +
           "\nFACT ATTRIBUTE :\n\n" + attributes;
}

inline const std::string kLinkedInput = R"(// two units that include x.h
SCHEME TUPLE :

contain cFile cFunction
contain cFile cMacro
( call )
{ color = "red" }

FACT TUPLE :

$INSTANCE a.c cFile
$INSTANCE b.c cFile
$INSTANCE @0.FILE.x.h.a.c cFile
$INSTANCE @0.FILE.x.h.b.c cFile
$INSTANCE main cFunction
$INSTANCE helper cFunction
$INSTANCE @1 cFunction
$INSTANCE @2 cFunction
$INSTANCE @3 cMacro
contain a.c main
contain a.c @0.FILE.x.h.a.c
contain @0.FILE.x.h.a.c @1
contain b.c helper
contain b.c @0.FILE.x.h.b.c
contain @0.FILE.x.h.b.c @2
contain @0.FILE.x.h.b.c @3
( call main @1 ) { weight = 2 }
call helper @2
use helper @3

FACT ATTRIBUTE :

a.c { name = "a.c" }
b.c { name = "b.c" }
@0.FILE.x.h.a.c { order = 1 name = "x.h" }
@0.FILE.x.h.b.c { name = "x.h" order = 2 }
main { name = "main" }
helper { name = "helper" }
@1 { name = "g" }
@2 { name = "g" }
@3 { name = "M" }
)";

// Union of the two copies: the kept copy gains a clone @4 of the macro; the
// use of @3 is copied with it, and the moved use is the same fact, so it is
// not written twice. The weight of main's call is written after the node
// attributes.
inline const std::string kUnionInstances = "$INSTANCE b.c cFile\n"
                                           "$INSTANCE helper cFunction\n"
                                           "$INSTANCE a.c cFile\n"
                                           "$INSTANCE @FILE.x.h cFile\n"
                                           "$INSTANCE @4 cMacro\n"
                                           "$INSTANCE @1 cFunction\n"
                                           "$INSTANCE main cFunction\n";
inline const std::string kUnionEdges = "use helper @4\n"
                                       "call helper @1\n"
                                       "call main @1\n";
inline const std::string kUnionAttributes = "b.c  { name=\"b.c\" }\n"
                                            "helper  { name=\"helper\" }\n"
                                            "a.c  { name=\"a.c\" }\n"
                                            "@FILE.x.h  { name=\"x.h\" order=\"1\" }\n"
                                            "@4  { name=\"M\" }\n"
                                            "@1  { name=\"g\" }\n"
                                            "main  { name=\"main\" }\n"
                                            "(call main @1)  { weight=\"2\" }\n";

inline const std::string kLinkedUnion = taText(kUnionInstances,
                                               "contain b.c helper\n"
                                               "contain a.c @FILE.x.h\n"
                                               "contain a.c main\n"
                                               "contain @FILE.x.h @4\n"
                                               "contain @FILE.x.h @1\n",
                                               kUnionEdges, kUnionAttributes);

// The same with -i: containment lines indented by depth.
inline const std::string kLinkedUnionIndented = taText(kUnionInstances,
                                                       " contain b.c helper\n"
                                                       " contain a.c @FILE.x.h\n"
                                                       " contain a.c main\n"
                                                       "  contain @FILE.x.h @4\n"
                                                       "  contain @FILE.x.h @1\n",
                                                       kUnionEdges, kUnionAttributes);

// With -u the copies differ in their number of children and both stay; both
// wait for the short name under one key, and the one added last, b.c's,
// heads that chain and takes it.
inline const std::string kLinkedStrict = taText("$INSTANCE b.c cFile\n"
                                                "$INSTANCE @FILE.x.h cFile\n"
                                                "$INSTANCE @3 cMacro\n"
                                                "$INSTANCE @2 cFunction\n"
                                                "$INSTANCE helper cFunction\n"
                                                "$INSTANCE a.c cFile\n"
                                                "$INSTANCE @0.FILE.x.h.a.c cFile\n"
                                                "$INSTANCE @1 cFunction\n"
                                                "$INSTANCE main cFunction\n",
                                                "contain b.c @FILE.x.h\n"
                                                "contain b.c helper\n"
                                                "contain @FILE.x.h @3\n"
                                                "contain @FILE.x.h @2\n"
                                                "contain a.c @0.FILE.x.h.a.c\n"
                                                "contain a.c main\n"
                                                "contain @0.FILE.x.h.a.c @1\n",
                                                "use helper @3\n"
                                                "call helper @2\n"
                                                "call main @1\n",
                                                "b.c  { name=\"b.c\" }\n"
                                                "@FILE.x.h  { name=\"x.h\" order=\"2\" }\n"
                                                "@3  { name=\"M\" }\n"
                                                "@2  { name=\"g\" }\n"
                                                "helper  { name=\"helper\" }\n"
                                                "a.c  { name=\"a.c\" }\n"
                                                "@0.FILE.x.h.a.c  { name=\"x.h\" order=\"1\" }\n"
                                                "@1  { name=\"g\" }\n"
                                                "main  { name=\"main\" }\n"
                                                "(call main @1)  { weight=\"2\" }\n");
