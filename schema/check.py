#!/usr/bin/env python3
"""Validate the table catalog in this folder (every *.json file).

Checks, per file: well-formed JSON of the catalog format; table, field and tag
names (upper case, lengths); field types and widths; unique field and tag
names per table; unique table names across the catalog; every identifier in a
tag key or FOR expression that is not a function is a field of the table and
not a memo; the key parses, has a legal type and fits a CDX key (240 bytes);
record length <= 4000 and at most 255 fields.

Usage:  python3 schema/check.py [--summary] [--consistency] [files...]
Exit status 0 when every check passes, 1 otherwise (problems are listed).
"""
import json
import os
import re
import sys

MAX_RECORD = 4000
MAX_FIELDS = 255
MAX_KEY = 240
NAME_RE = re.compile(r'^[A-Z][A-Z0-9_]*$')
FOLDERS = ('BASES', 'PROFILE')
FIXED = {'D': 8, 'L': 1, 'M': 10, 'I': 4, 'T': 8, 'Y': 8, 'B': 8}
FUNCS = {'STR', 'DTOS', 'STOD', 'UPPER', 'LEFT', 'SUBSTR', 'RIGHT', 'PADR',
         'PADL', 'ALLTRIM', 'RTRIM', 'LTRIM', 'TRIM', 'VAL', 'IIF'}


class KeyError_(Exception):
    pass


# ---------------------------------------------------------------- expressions
TOKEN_RE = re.compile(r'''
    (?P<ws>\s+)
  | (?P<str>"[^"]*"|'[^']*')
  | (?P<num>\d+(?:\.\d+)?)
  | (?P<log>\.(?:AND|OR|NOT|T|F)\.)
  | (?P<id>[A-Za-z_][A-Za-z0-9_]*)
  | (?P<op><=|>=|<>|!=|==|[-+*/(),<>=$!#])
''', re.X | re.I)


def tokenize(text):
    pos, out = 0, []
    while pos < len(text):
        m = TOKEN_RE.match(text, pos)
        if not m:
            raise KeyError_('unexpected character %r at %d' % (text[pos], pos))
        pos = m.end()
        kind = m.lastgroup
        if kind == 'ws':
            continue
        val = m.group(kind)
        if kind in ('id', 'log'):
            val = val.upper()
        out.append((kind, val))
    return out


class Parser:
    """Recursive descent over the key-expression subset; returns (type, width).

    Types: C (width = characters), N, D, L.  Widths of N/D/L are their CDX key
    sizes (8, 8, 1).
    """

    def __init__(self, text, fields):
        self.toks = tokenize(text)
        self.i = 0
        self.fields = fields          # name -> (type, len, dec)
        self.used = []

    def peek(self, k=0):
        j = self.i + k
        return self.toks[j] if j < len(self.toks) else (None, None)

    def take(self, val=None):
        tok = self.peek()
        if tok[0] is None or (val is not None and tok[1] != val):
            raise KeyError_('expected %s, found %s' % (val or 'a term', tok[1]))
        self.i += 1
        return tok

    def parse(self):
        if not self.toks:
            raise KeyError_('empty expression')
        r = self.orexpr()
        if self.peek()[0] is not None:
            raise KeyError_('unexpected %r' % self.peek()[1])
        return r

    def orexpr(self):
        t = self.andexpr()
        while self.peek()[1] == '.OR.':
            self.take()
            u = self.andexpr()
            if t[0] != 'L' or u[0] != 'L':
                raise KeyError_('.OR. needs logical operands')
        return t

    def andexpr(self):
        t = self.notexpr()
        while self.peek()[1] == '.AND.':
            self.take()
            u = self.notexpr()
            if t[0] != 'L' or u[0] != 'L':
                raise KeyError_('.AND. needs logical operands')
        return t

    def notexpr(self):
        if self.peek()[1] in ('.NOT.', '!'):
            self.take()
            t = self.notexpr()
            if t[0] != 'L':
                raise KeyError_('.NOT. needs a logical operand')
            return ('L', 1)
        return self.compare()

    def compare(self):
        t = self.additive()
        if self.peek()[1] in ('=', '==', '<>', '!=', '#', '<', '>', '<=', '>=', '$'):
            self.take()
            u = self.additive()
            if t[0] != u[0]:
                raise KeyError_('comparison of %s with %s' % (t[0], u[0]))
            return ('L', 1)
        return t

    def additive(self):
        t = self.term()
        while self.peek()[1] in ('+', '-'):
            op = self.take()[1]
            u = self.term()
            if t[0] == 'C' and u[0] == 'C':
                t = ('C', t[1] + u[1])
            elif t[0] == 'N' and u[0] == 'N':
                t = ('N', 8)
            elif t[0] == 'D' and u[0] == 'N':
                t = ('D', 8)
            elif t[0] == 'D' and u[0] == 'D' and op == '-':
                t = ('N', 8)
            elif t[0] == 'N' and u[0] == 'D' and op == '+':
                t = ('D', 8)
            else:
                raise KeyError_('cannot apply %s to %s and %s' % (op, t[0], u[0]))
        return t

    def term(self):
        t = self.factor()
        while self.peek()[1] in ('*', '/'):
            self.take()
            u = self.factor()
            if t[0] != 'N' or u[0] != 'N':
                raise KeyError_('* and / need numbers')
        return t

    def factor(self):
        kind, val = self.peek()
        if kind is None:
            raise KeyError_('expression ends too early')
        if val == '(':
            self.take()
            t = self.orexpr()
            self.take(')')
            return t
        if val == '-':
            self.take()
            t = self.factor()
            if t[0] != 'N':
                raise KeyError_('unary minus needs a number')
            return t
        if kind == 'str':
            self.take()
            return ('C', len(val) - 2)
        if kind == 'num':
            self.take()
            return ('N', 8)
        if kind == 'log':
            if val in ('.T.', '.F.'):
                self.take()
                return ('L', 1)
            raise KeyError_('misplaced %s' % val)
        if kind == 'id':
            if self.peek(1)[1] == '(':
                return self.call()
            self.take()
            name = val
            if name.startswith('FIELD->'):
                name = name[7:]
            if name not in self.fields:
                raise KeyError_('unknown field %s' % name)
            self.used.append(name)
            ftype, flen, _ = self.fields[name]
            if ftype == 'C':
                return ('C', flen)
            if ftype in ('N', 'I', 'Y', 'B'):
                return ('N', 8)
            if ftype in ('D', 'T'):
                return ('D', 8)
            if ftype == 'L':
                return ('L', 1)
            raise KeyError_('memo field %s in a key' % name)
        raise KeyError_('unexpected %r' % val)

    def args(self):
        self.take('(')
        out = []
        if self.peek()[1] != ')':
            out.append(self.argument())
            while self.peek()[1] == ',':
                self.take()
                out.append(self.argument())
        self.take(')')
        return out

    def argument(self):
        start = self.i
        t = self.orexpr()
        lit = None
        if self.i == start + 1 and self.toks[start][0] == 'num':
            lit = float(self.toks[start][1])
        return (t, lit)

    def call(self):
        name = self.take()[1]
        if name not in FUNCS:
            raise KeyError_('function %s is not allowed in keys' % name)
        a = self.args()

        def need(n_min, n_max):
            if not n_min <= len(a) <= n_max:
                raise KeyError_('%s takes %d..%d arguments' % (name, n_min, n_max))

        def typ(k, want):
            if a[k][0][0] != want:
                raise KeyError_('%s argument %d must be %s' % (name, k + 1, want))

        def lit(k):
            if a[k][1] is None:
                raise KeyError_('%s argument %d must be a number literal' % (name, k + 1))
            return int(a[k][1])

        if name == 'STR':
            need(1, 3)
            typ(0, 'N')
            return ('C', lit(1) if len(a) > 1 else 10)
        if name == 'DTOS':
            need(1, 1)
            typ(0, 'D')
            return ('C', 8)
        if name == 'STOD':
            need(1, 1)
            typ(0, 'C')
            return ('D', 8)
        if name in ('UPPER', 'ALLTRIM', 'RTRIM', 'LTRIM', 'TRIM'):
            need(1, 1)
            typ(0, 'C')
            return a[0][0]
        if name in ('LEFT', 'RIGHT'):
            need(2, 2)
            typ(0, 'C')
            return ('C', lit(1))
        if name == 'SUBSTR':
            need(2, 3)
            typ(0, 'C')
            if len(a) == 3:
                return ('C', lit(2))
            return ('C', max(a[0][0][1] - lit(1) + 1, 0))
        if name in ('PADR', 'PADL'):
            need(2, 3)
            return ('C', lit(1))
        if name == 'VAL':
            need(1, 1)
            typ(0, 'C')
            return ('N', 8)
        if name == 'IIF':
            need(3, 3)
            typ(0, 'L')
            if a[1][0][0] != a[2][0][0]:
                raise KeyError_('IIF branches differ in type')
            return (a[1][0][0], max(a[1][0][1], a[2][0][1]))
        raise KeyError_('function %s' % name)


# ---------------------------------------------------------------- checks
def check_field(tname, f, problems):
    where = '%s.%s' % (tname, f.get('name'))
    for k in ('name', 'type', 'len', 'dec'):
        if k not in f:
            problems.append('%s: field lacks "%s"' % (where, k))
            return None
    name, ftype, flen, fdec = f['name'], f['type'], f['len'], f['dec']
    if not isinstance(name, str) or not NAME_RE.match(name) or len(name) > 10:
        problems.append('%s: bad field name (upper case, <= 10 characters)' % where)
    if not isinstance(flen, int) or not isinstance(fdec, int):
        problems.append('%s: len and dec must be integers' % where)
        return None
    if ftype == 'C':
        if not 1 <= flen <= 254 or fdec != 0:
            problems.append('%s: C needs 1 <= len <= 254 and dec 0' % where)
    elif ftype == 'N':
        if not 1 <= flen <= 20:
            problems.append('%s: N needs 1 <= len <= 20' % where)
        if fdec < 0 or (fdec > 0 and fdec >= flen - 1):
            problems.append('%s: N needs dec < len - 1' % where)
    elif ftype in FIXED:
        if flen != FIXED[ftype]:
            problems.append('%s: %s needs len %d' % (where, ftype, FIXED[ftype]))
        want_dec = 4 if ftype == 'Y' else 0
        if fdec != want_dec:
            problems.append('%s: %s needs dec %d' % (where, ftype, want_dec))
    else:
        problems.append('%s: unknown type %r' % (where, ftype))
    return (ftype, flen, fdec)


def check_table(t, problems):
    for k in ('name', 'folder', 'doc', 'fields', 'tags'):
        if k not in t:
            problems.append('table %s: lacks "%s"' % (t.get('name'), k))
            return
    tname = t['name']
    if not isinstance(tname, str) or not NAME_RE.match(tname) or len(tname) > 8:
        problems.append('%s: bad table name (upper case, <= 8 characters)' % tname)
    if t['folder'] not in FOLDERS:
        problems.append('%s: folder must be one of %s' % (tname, FOLDERS))
    if not isinstance(t['doc'], str) or not t['doc'].strip():
        problems.append('%s: empty doc' % tname)
    if not t['fields']:
        problems.append('%s: no fields' % tname)
    fields, reclen = {}, 1
    for f in t['fields']:
        fdef = check_field(tname, f, problems)
        if fdef is None:
            continue
        if f['name'] in fields:
            problems.append('%s: duplicate field %s' % (tname, f['name']))
        fields[f["name"]] = fdef
        reclen += f['len']
    if reclen > MAX_RECORD:
        problems.append('%s: record length %d > %d' % (tname, reclen, MAX_RECORD))
    if len(t['fields']) > MAX_FIELDS:
        problems.append('%s: %d fields > %d' % (tname, len(t['fields']), MAX_FIELDS))
    seen = set()
    for g in t['tags']:
        gname = g.get('name')
        where = '%s tag %s' % (tname, gname)
        for k in ('name', 'key', 'for', 'descending'):
            if k not in g:
                problems.append('%s: lacks "%s"' % (where, k))
        if not isinstance(gname, str) or not NAME_RE.match(gname) or len(gname) > 10:
            problems.append('%s: bad tag name (upper case, <= 10 characters)' % where)
        if gname in seen:
            problems.append('%s: duplicate tag name' % where)
        seen.add(gname)
        if not isinstance(g.get('descending'), bool):
            problems.append('%s: descending must be true or false' % where)
        try:
            _, kwidth = Parser(g.get('key', ''), fields).parse()
            if kwidth > MAX_KEY:
                problems.append('%s: key is %d bytes, more than %d' % (where, kwidth, MAX_KEY))
        except KeyError_ as e:
            problems.append('%s: key %r: %s' % (where, g.get('key'), e))
        cond = g.get('for', '')
        if cond:
            try:
                ctype, _ = Parser(cond, fields).parse()
                if ctype != 'L':
                    problems.append('%s: FOR %r is not logical' % (where, cond))
            except KeyError_ as e:
                problems.append('%s: FOR %r: %s' % (where, cond, e))


def load(path, problems):
    try:
        with open(path, encoding='utf-8') as fh:
            data = json.load(fh)
    except (OSError, ValueError) as e:
        problems.append('%s: %s' % (os.path.basename(path), e))
        return None
    if not isinstance(data, dict) or not isinstance(data.get('group'), str) \
            or not isinstance(data.get('tables'), list):
        problems.append('%s: needs {"group": text, "tables": [...]}' % os.path.basename(path))
        return None
    return data


def main(argv):
    opts = [a for a in argv if a.startswith('--')]
    files = [a for a in argv if not a.startswith('--')]
    here = os.path.dirname(os.path.abspath(__file__))
    if not files:
        files = sorted(os.path.join(here, n) for n in os.listdir(here) if n.endswith('.json'))
    problems, owner = [], {}
    n_tables = n_fields = n_tags = 0
    byname = {}
    for path in files:
        data = load(path, problems)
        if data is None:
            continue
        for t in data['tables']:
            name = t.get('name')
            if name in owner:
                problems.append('%s: table defined in %s and %s'
                                % (name, owner[name], os.path.basename(path)))
            owner[name] = os.path.basename(path)
            check_table(t, problems)
            n_tables += 1
            n_fields += len(t.get('fields', []))
            n_tags += len(t.get('tags', []))
            for f in t.get('fields', []):
                byname.setdefault(f.get('name'), {}).setdefault(
                    (f.get('type'), f.get('len'), f.get('dec')), []).append(name)
    if '--summary' in opts:
        print('%d files, %d tables, %d fields, %d tags' % (len(files), n_tables, n_fields, n_tags))
    if '--consistency' in opts:
        for fname in sorted(byname):
            defs = byname[fname]
            if len(defs) > 1:
                print('%s: %s' % (fname, '; '.join('%s%d.%d in %s' % (k[0], k[1], k[2], ','.join(v))
                                                   for k, v in sorted(defs.items(), key=str))))
    for p in problems:
        print(p)
    if problems:
        print('%d problem(s)' % len(problems), file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
