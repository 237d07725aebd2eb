#!/usr/bin/env python3
"""Writes the colour lists of the palettes the setup installs (run by hand;
the lists are kept in setup/data/palettes and compiled into palette files by
tools/qmpal at build time). They are sample colour ranges of our own, named
after kinds of beads, not any maker's chart: each list takes the colour
families below with its own shades and finishes.

List format (UTF-8): '# comment' lines, then one colour a line:
number;code;nickname;red;green;blue"""
import colorsys
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), 'data', 'palettes')

FAMILIES = [  # hue, saturation, English, Russian
    (0.00, 0.00, 'White', 'Белый'), (0.00, 0.00, 'Grey', 'Серый'), (0.00, 0.00, 'Black', 'Чёрный'),
    (0.00, 0.75, 'Red', 'Красный'), (0.03, 0.70, 'Coral', 'Коралловый'), (0.07, 0.80, 'Orange', 'Оранжевый'),
    (0.11, 0.70, 'Amber', 'Янтарный'), (0.14, 0.80, 'Yellow', 'Жёлтый'), (0.22, 0.60, 'Lime', 'Салатовый'),
    (0.33, 0.60, 'Green', 'Зелёный'), (0.45, 0.55, 'Turquoise', 'Бирюзовый'), (0.55, 0.60, 'Sky', 'Голубой'),
    (0.62, 0.70, 'Blue', 'Синий'), (0.72, 0.50, 'Violet', 'Фиолетовый'), (0.83, 0.45, 'Lilac', 'Сиреневый'),
    (0.92, 0.55, 'Rose', 'Розовый'), (0.07, 0.45, 'Brown', 'Коричневый'), (0.10, 0.25, 'Beige', 'Бежевый'),
]
FINISHES = [('Opaque', 'непрозрачный'), ('Matte', 'матовый'), ('Lustre', 'глянцевый'),
            ('Transparent', 'прозрачный'), ('Silver-lined', 'с серебряной нитью')]

# name, prefix, language, colours per family, lightness offset, saturation scale
LISTS = [
    ('Delica', 'VD', 'en', 3, 0.00, 1.00),
    ('Preciosa', 'VP', 'en', 2, 0.03, 0.95),
    ('Preciosa', 'VP', 'ru', 2, 0.03, 0.95),
    ('Toho', 'VT', 'en', 2, -0.03, 1.05),
    ('Toho', 'VT', 'ru', 2, -0.03, 1.05),
    ('Zlatka', 'VZ', 'en', 2, 0.05, 0.85),
    ('Златка', 'VZ', 'ru', 2, 0.05, 0.85),
    ('Астра', 'VA', 'ru', 2, 0.02, 0.90),
    ('Colibry', 'VC', 'en', 2, 0.06, 1.10),
    ('Twin', 'VW', 'en', 1, 0.00, 0.90),
    ('Omed', 'VO', 'en', 2, -0.05, 0.80),
    ('Mill Hill', 'VM', 'en', 2, 0.04, 1.00),
]


def colours(per_family, light_offset, sat_scale):
    number = 0
    for fi, (hue, sat, en, ru) in enumerate(FAMILIES):
        for k in range(per_family):
            if sat == 0.0:
                light = {'White': 0.96, 'Grey': 0.55, 'Black': 0.08}[en] - 0.06 * k
            else:
                light = 0.35 + 0.25 * k + light_offset
            light = min(0.95, max(0.05, light))
            s = min(1.0, sat * sat_scale)
            r, g, b = colorsys.hls_to_rgb(hue, light, s)
            finish = FINISHES[(fi + k) % len(FINISHES)]
            number += 1
            if sat > 0.0 and light < 0.45:
                en_name, ru_name = 'dark ' + en.lower(), 'Тёмно-' + ru.lower()
            elif sat > 0.0 and light > 0.7:
                en_name, ru_name = 'light ' + en.lower(), 'Светло-' + ru.lower()
            else:
                en_name, ru_name = en.lower(), ru
            yield number, (en_name, ru_name), finish, tuple(int(round(v * 255)) for v in (r, g, b))


def write(name, prefix, language, per_family, light_offset, sat_scale):
    suffix = '' if language == 'en' or not name.isascii() else '_ru'
    path = os.path.join(OUT, name + suffix + '.txt')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('# %s: a sample colour range of our own (%s), not a maker\'s chart.\n' %
                (name, 'English names' if language == 'en' else 'Russian names'))
        for number, names, finish, (r, g, b) in colours(per_family, light_offset, sat_scale):
            if language == 'en':
                nick = '%s %s' % (finish[0], names[0])
            else:
                nick = '%s %s' % (names[1], finish[1])
            f.write('%d;%s-%03d;%s;%d;%d;%d\n' % (number, prefix, number, nick, r, g, b))


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    for entry in LISTS:
        write(*entry)
