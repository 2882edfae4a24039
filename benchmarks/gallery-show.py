#!/usr/bin/env python3
"""Writes one docasm listing whose slide show plays every gallery document's slide in turn.

    gallery-show.py OUTPUT SHOW_SECONDS LISTING...

The soak plays it in the saver to watch every scene class over hours, slide switches included.
Each gallery listing is a whole document: its slides go into the one slide show (each shown
SHOW_SECONDS with fades of a second), and its resource store entries into the one store. The
store keeps the first entry of a key, so an entry whose key an earlier document already used for
other content gets a key of its own: a GUID is replaced by a new one throughout that document, a
file link's stamp is changed throughout that document. The output sits beside the listings, so
their relative file names and includes still hold.
"""
import hashlib
import os
import re
import sys


class ListingError(Exception):
    pass


def tokens(text, name):
    """(kind, start, end) of every token: 'word', 'string', '{' or '}'; comments are skipped."""
    found = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c.isspace():
            i += 1
        elif c == '#':
            while i < n and text[i] != '\n':
                i += 1
        elif c in '{}':
            found.append((c, i, i + 1))
            i += 1
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if (c == '"' and text[j] == '\\') else 1
            if j >= n:
                raise ListingError(f'{name}: unterminated string at offset {i}')
            found.append(('string', i, j + 1))
            i = j + 1
        else:
            j = i
            while j < n and not text[j].isspace() and text[j] not in '{}#"\'':
                j += 1
            # key="value" pairs (blob, buffer) stay one word with their string.
            if j < n and text[j] in '"\'' and text[j - 1] == '=':
                quote = text[j]
                j += 1
                while j < n and text[j] != quote:
                    j += 2 if (quote == '"' and text[j] == '\\') else 1
                j += 1
            found.append(('word', i, j))
            i = j
    return found


class Listing:
    def __init__(self, path):
        self.name = os.path.basename(path)
        with open(path, encoding='utf-8') as f:
            self.text = f.read()
        self.tokens = tokens(self.text, self.name)
        self.pos = 0

    def word(self, k):
        kind, start, end = self.tokens[k]
        return self.text[start:end]

    def expect(self, *words):
        for w in words:
            if self.pos >= len(self.tokens) or self.word(self.pos) != w:
                got = self.word(self.pos) if self.pos < len(self.tokens) else 'the end'
                raise ListingError(f'{self.name}: expected {w}, found {got}')
            self.pos += 1

    def list_items(self):
        """The items of the list at the current token, each as its text; moves past the list."""
        self.expect('list', '{')
        items = []
        while self.word(self.pos) != '}':
            kind, start, _ = self.tokens[self.pos]
            if kind == '{':
                depth = 0
                while True:
                    kind = self.tokens[self.pos][0]
                    depth += {'{': 1, '}': -1}.get(kind, 0)
                    self.pos += 1
                    if depth == 0:
                        break
                end = self.tokens[self.pos - 1][2]
            elif self.word(self.pos) == 'include':
                self.pos += 2
                end = self.tokens[self.pos - 1][2]
            else:
                raise ListingError(f'{self.name}: a list item must be a group or an include')
            items.append(self.text[start:end])
        self.pos += 1
        return items


def read_document(path):
    listing = Listing(path)
    if listing.word(0) != 'string':
        raise ListingError(f'{listing.name}: no document tag')
    listing.pos = 2
    listing.expect('record', '"Vo_SlideShow_Light"', 'version', '1')
    slides = listing.list_items()
    music = listing.list_items()
    listing.expect('record', '"Vo_DocResManager"', 'version', '3')
    store = [listing.list_items() for _ in range(4)]
    if listing.pos != len(listing.tokens):
        raise ListingError(f'{listing.name}: more after the resource store')
    return slides, music, store


def timed_slide(slide, show_seconds, name):
    """The slide group with fades of a second and the given show time."""
    found = tokens(slide, name)
    words = [slide[s:e] for _, s, e in found]
    for k in range(len(words) - 9):
        if words[k:k + 4] == ['record', '"Vo_SlideContainer"', 'version', '3']:
            times = found[k + 4:k + 10]
            if [words[k + 4], words[k + 6], words[k + 8]] != ['uint'] * 3:
                raise ListingError(f'{name}: the slide does not start with its three times')
            out = slide
            for (_, s, e), value in reversed(list(zip(times[1::2], (1, 1, show_seconds)))):
                out = out[:s] + str(value) + out[e:]
            return out
    raise ListingError(f'{name}: no slide record')


def entry_key(entry, name):
    """The key an entry of the store is filed under: its file link or its GUID."""
    found = tokens(entry, name)
    words = [entry[s:e] for _, s, e in found]
    if words[1] == 'filelink':
        return ('filelink', words[2], words[3])
    if words[1] == 'guid':
        return ('guid', words[2])
    raise ListingError(f'{name}: a store entry that starts with {words[1]}')


def content(entry, name):
    """The entry's values without its comments and layout."""
    return ' '.join(entry[s:e] for _, s, e in tokens(entry, name))


def fresh_guid(document, old):
    digest = hashlib.sha1((document + old).encode()).hexdigest().upper()
    return '"{%s-%s-%s-%s-%s}"' % (digest[0:8], digest[8:12], digest[12:16], digest[16:20], digest[20:32])


def main(argv):
    if len(argv) < 4:
        raise ListingError('usage: gallery-show.py OUTPUT SHOW_SECONDS LISTING...')
    output, show_seconds, listings = argv[1], int(argv[2]), argv[3:]
    slides, music = [], []
    store = [[], [], [], []]
    filed = [dict(), dict(), dict(), dict()]
    for path in listings:
        name = os.path.basename(path)
        doc_slides, doc_music, doc_store = read_document(path)
        renames = {}
        for part, entries in enumerate(doc_store):
            for entry in entries:
                key = entry_key(entry, name)
                if key in filed[part] and filed[part][key] != content(entry, name):
                    if key[0] == 'guid':
                        renames[re.escape(key[1])] = fresh_guid(name, key[1])
                    elif key[2].lower().startswith('0x') and not key[1].lower().endswith(".dll'"):
                        stamp = int(key[2], 16) + 1 + len(filed[part])
                        renames[re.escape(key[1]) + r'\s+' + key[2]] = f'{key[1]} 0x{stamp:016X}'
                    else:
                        raise ListingError(f'{name}: {key[1]} {key[2]} differs from an earlier document\'s')

        def renamed(text):
            for old, new in renames.items():
                text = re.sub(old, lambda _: new, text)
            return text

        for part, entries in enumerate(doc_store):
            for entry in map(renamed, entries):
                key = entry_key(entry, name)
                if key not in filed[part]:
                    filed[part][key] = content(entry, name)
                    store[part].append(entry)
        slides += [timed_slide(renamed(s), show_seconds, name) for s in doc_slides]
        music += [renamed(m) for m in doc_music]

    def block(items, indent=''):
        return '\n'.join(indent + item for item in items)

    out = ['# Every gallery document\'s slide in one slide show, written by benchmarks/gallery-show.py.',
           'string "ZUL v 4.0.0"', 'record "Vo_SlideShow_Light" version 1', 'list {', block(slides), '}',
           'list {', block(music), '}', 'record "Vo_DocResManager" version 3']
    for part in store:
        out += ['list {', block(part), '}']
    with open(output, 'w', encoding='utf-8') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    try:
        main(sys.argv)
    except ListingError as error:
        sys.exit(f'gallery-show.py: {error}')
