// A linked fact file of two units, a.c and b.c, that both include x.h; b.c's
// copy of x.h holds a macro that a.c's copy lacks. Expected outputs are
// worked out by hand: the parser visits a.c before b.c, so $ROOT lists b.c
// first; the chain of merge candidates holds a.c's copy of x.h first, so
// that copy is kept.
#pragma once

#include <string>

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
// use of @3 reaches the clone twice, once copied with it and once moved.
inline const std::string kLinkedUnion = R"(FACT TUPLE :

// Instances of entity classes

$INSTANCE b.c cFile
$INSTANCE helper cFunction
$INSTANCE a.c cFile
$INSTANCE @FILE.x.h cFile
$INSTANCE @4 cMacro
$INSTANCE @1 cFunction
$INSTANCE main cFunction

// Containment relationships

contain b.c helper
contain a.c @FILE.x.h
contain a.c main
contain @FILE.x.h @4
contain @FILE.x.h @1

// Edges of entity classes

use helper @4
use helper @4
call helper @1
call main @1

FACT ATTRIBUTE :

b.c  { name="b.c" }
helper  { name="helper" }
a.c  { name="a.c" }
@FILE.x.h  { name="x.h" order="1" }
@4  { name="M" }
@1  { name="g" }
main  { name="main" }
)";

// The same with -i: containment lines indented by depth.
inline const std::string kLinkedUnionIndented = R"(FACT TUPLE :

// Instances of entity classes

$INSTANCE b.c cFile
$INSTANCE helper cFunction
$INSTANCE a.c cFile
$INSTANCE @FILE.x.h cFile
$INSTANCE @4 cMacro
$INSTANCE @1 cFunction
$INSTANCE main cFunction

// Containment relationships

 contain b.c helper
 contain a.c @FILE.x.h
 contain a.c main
  contain @FILE.x.h @4
  contain @FILE.x.h @1

// Edges of entity classes

use helper @4
use helper @4
call helper @1
call main @1

FACT ATTRIBUTE :

b.c  { name="b.c" }
helper  { name="helper" }
a.c  { name="a.c" }
@FILE.x.h  { name="x.h" order="1" }
@4  { name="M" }
@1  { name="g" }
main  { name="main" }
)";

// With -u the copies differ in their number of children and both stay; both
// wait for the short name under one key, and the one added last, b.c's,
// heads that chain and takes it.
inline const std::string kLinkedStrict = R"(FACT TUPLE :

// Instances of entity classes

$INSTANCE b.c cFile
$INSTANCE @FILE.x.h cFile
$INSTANCE @3 cMacro
$INSTANCE @2 cFunction
$INSTANCE helper cFunction
$INSTANCE a.c cFile
$INSTANCE @0.FILE.x.h.a.c cFile
$INSTANCE @1 cFunction
$INSTANCE main cFunction

// Containment relationships

contain b.c @FILE.x.h
contain b.c helper
contain @FILE.x.h @3
contain @FILE.x.h @2
contain a.c @0.FILE.x.h.a.c
contain a.c main
contain @0.FILE.x.h.a.c @1

// Edges of entity classes

use helper @3
call helper @2
call main @1

FACT ATTRIBUTE :

b.c  { name="b.c" }
@FILE.x.h  { name="x.h" order="2" }
@3  { name="M" }
@2  { name="g" }
helper  { name="helper" }
a.c  { name="a.c" }
@0.FILE.x.h.a.c  { name="x.h" order="1" }
@1  { name="g" }
main  { name="main" }
)";
