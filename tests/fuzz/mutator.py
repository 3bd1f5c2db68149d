"""Mutations of a text corpus for the fuzz drivers.

Inputs are bytes, never decoded: a mutant may hold NUL bytes and invalid UTF-8
on purpose. Every choice comes from the Random given to Mutator, so a seed
replays a whole campaign.
"""
import re

# Tokens as both languages (scripts and SQL) roughly see them: quoted texts,
# words with dots (names like dbms_session.sleep), numbers, blanks, one byte.
_TOKEN = re.compile(
    rb'"(?:[^"\n]|"")*"|\'(?:[^\'\n]|\'\')*\'|[A-Za-z_][A-Za-z0-9_.$#]*'
    rb'|\d+(?:\.\d*)?(?:[eE][-+]?\d+)?|\s+|.', re.S)

_INVALID_UTF8 = [b'\xff', b'\xfe\xfe', b'\xc3', b'\xe2\x82', b'\xed\xa0\x80',
                 b'\xf8\x88\x80\x80\x80', b'\xc0\xaf', b'\x80\x80\x80']

# Upper bounds of the sizes a mutation makes: large enough to cross every
# fixed buffer and nesting limit, small enough that a run stays short.
MAX_HUGE_DIGITS = 5000
MAX_HUGE_STRING = 300_000
MAX_NESTING = 3000


def tokens(text):
    return _TOKEN.findall(text)


class Mutator:
    def __init__(self, rng, corpus):
        self.rng = rng
        self.corpus = corpus  # list of bytes: partners for splicing
        self.operations = [
            self.flip_byte, self.delete_tokens, self.duplicate_tokens, self.splice,
            self.huge_number, self.huge_string, self.deep_nesting, self.nul_byte,
            self.invalid_utf8, self.swap_tokens,
        ]

    def mutate(self, text):
        """`text` with one to four stacked mutations."""
        for _ in range(self.rng.randint(1, 4)):
            text = self.rng.choice(self.operations)(text)
        return text

    def _position(self, text):
        return self.rng.randint(0, len(text))

    def _insert(self, text, piece):
        at = self._position(text)
        return text[:at] + piece + text[at:]

    def _token_span(self, parts, longest=8):
        first = self.rng.randrange(len(parts))
        return first, min(len(parts), first + self.rng.randint(1, longest))

    def flip_byte(self, text):
        if not text:
            return bytes([self.rng.randrange(256)])
        data = bytearray(text)
        for _ in range(self.rng.randint(1, 8)):
            at = self.rng.randrange(len(data))
            if self.rng.random() < 0.5:
                data[at] ^= 1 << self.rng.randrange(8)
            else:
                data[at] = self.rng.randrange(256)
        return bytes(data)

    def delete_tokens(self, text):
        parts = tokens(text)
        if not parts:
            return text
        first, end = self._token_span(parts, longest=3)
        return b''.join(parts[:first] + parts[end:])

    def duplicate_tokens(self, text):
        parts = tokens(text)
        if not parts:
            return text
        first, end = self._token_span(parts, longest=40)
        copies = parts[first:end] * self.rng.choice([1, 1, 2, 10, 200])
        at = self.rng.randint(0, len(parts))
        return b''.join(parts[:at] + copies + parts[at:])

    def swap_tokens(self, text):
        parts = tokens(text)
        if len(parts) < 2:
            return text
        a, b = self.rng.randrange(len(parts)), self.rng.randrange(len(parts))
        parts[a], parts[b] = parts[b], parts[a]
        return b''.join(parts)

    def splice(self, text):
        other = self.rng.choice(self.corpus) if self.corpus else text
        if self.rng.random() < 0.5:  # head of one, tail of the other
            return text[:self._position(text)] + other[self._position(other):]
        parts = tokens(other)
        if not parts:
            return text
        first, end = self._token_span(parts, longest=30)
        return self._insert(text, b''.join(parts[first:end]))

    def huge_number(self, text):
        digits = b'9' * self.rng.randint(20, MAX_HUGE_DIGITS)
        number = self.rng.choice([
            digits, b'-' + digits, b'0.' + digits, digits + b'.5', b'1e' + digits[:6],
            b'1e-400', b'1e308', b'-1e309', b'4294967296', b'2147483648', b'-2147483649',
            b'9223372036854775808', b'0.0000000000000000000000000001'])
        return self._replace_token(text, rb'\d', number)

    def huge_string(self, text):
        body = self.rng.choice([b'x', b'ab', b'\xc3\xa9', b'%', b':a']) * \
            self.rng.randint(256, MAX_HUGE_STRING // 2)
        quote = self.rng.choice([b'"', b"'"])
        return self._replace_token(text, b'^' + re.escape(quote), quote + body + quote)

    def deep_nesting(self, text):
        depth = self.rng.randint(50, MAX_NESTING)
        opener, closer = self.rng.choice([
            (b'(', b')'), (b'[', b']'), (b'-', b''), (b'NOT ', b''),
            (b'IF 1; ', b' ENDIF;'), (b'DOWHILE 0; ', b' EW;'), (b'begin ', b' end;'),
            (b'select * from (', b')'), (b'FUN NUMBER f(NUMBER n) ', b' EFUN;')])
        parts = tokens(text)
        if not parts:
            return opener * depth + closer * depth
        first, end = self._token_span(parts, longest=5)
        nested = opener * depth + b''.join(parts[first:end]) + closer * depth
        return b''.join(parts[:first]) + nested + b''.join(parts[end:])

    def nul_byte(self, text):
        return self._insert(text, b'\0' * self.rng.choice([1, 1, 3]))

    def invalid_utf8(self, text):
        return self._insert(text, self.rng.choice(_INVALID_UTF8))

    def _replace_token(self, text, pattern, replacement):
        """A random token matching `pattern` replaced (inserted when none matches)."""
        parts = tokens(text)
        matching = [i for i, part in enumerate(parts) if re.match(pattern, part)]
        if not matching:
            return self._insert(text, replacement)
        parts[self.rng.choice(matching)] = replacement
        return b''.join(parts)
