#!/usr/bin/python3
"""Converts generated NCS files with tessel and reads both sides back with
python3-neo, which knows neither program: every raw sample, the channel
names, units, rate and scaling, and the record start times in the synch
array must agree with the inputs; what info says of an event file must be
what neo reads of it.

Usage: interop_test.py --tessel PATH --ncsgen PATH --workdir DIR [unittest args]
"""

import argparse
import ast
import copy
import datetime
import glob
import hashlib
import json
import os
import shutil
import subprocess
import sys
import unittest

import numpy as np
from neo.rawio import AxonRawIO, NeuralynxRawIO, axonrawio

ARGS = None
SAMPLES_PER_RECORD = 512
NCS_HEADER = 16384
NCS_RECORD = np.dtype([('timestamp', '<u8'), ('channel', '<u4'), ('frequency', '<u4'),
                       ('valid', '<u4'), ('samples', '<i2', (SAMPLES_PER_RECORD,))])


def tags_at_their_block(parse):
    """neo 0.11 seeks ABF 1.x tags at byte lTagSectionPtr, a block number like lSynchArrayPtr (which neo
    multiplies by 512). This reads them at that block with neo's own layout; the rest of its tag reading stays."""
    def parsed(filename):
        info = parse(filename)
        if info is not None and info['fFileVersionNumber'] < 2:
            with open(filename, 'rb') as fid:
                f = axonrawio.StructFile(fid)
                info['listTag'] = []
                for i in range(info['lNumTagEntries']):
                    f.seek(info['lTagSectionPtr'] * axonrawio.BLOCKSIZE + i * 64)
                    values = [f.read_f(fmt) for _, fmt in axonrawio.TagInfoDescription]
                    info['listTag'].append({key: v[0] for (key, _), v in zip(axonrawio.TagInfoDescription, values)})
        return info
    return parsed


axonrawio.parse_axon_soup = tags_at_their_block(axonrawio.parse_axon_soup)


def run(cmd, cwd=None):
    p = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, timeout=120)
    if p.returncode != 0:
        raise AssertionError('%s exited with %d\n%s%s' % (' '.join(cmd), p.returncode,
                                                         p.stdout, p.stderr))
    return p


def digest(path):
    with open(path, 'rb') as f:
        return hashlib.sha256(f.read()).hexdigest()


class NcsInput:
    """One input as neo's Neuralynx reader sees it, plus its record time stamps."""

    def __init__(self, path):
        self.path = path
        reader = NeuralynxRawIO(filename=path)
        reader.parse_header()
        self.segments = reader.header['nb_segment'][0]
        channel = reader.header['signal_channels'][0]
        self.adchannel = int(channel['id'])
        self.rate = float(channel['sampling_rate'])
        # Every section, so that recordings with holes are read whole.
        self.raw = np.concatenate([reader.get_analogsignal_chunk(0, s, stream_index=0)[:, 0]
                                   for s in range(self.segments)])
        self.gain = float(channel['gain'])  # microvolts per step, negative when inverted
        self.units = channel['units']
        self.opened = reader.file_headers[path]['recording_opened']
        self.admax = int(reader.file_headers[path]['ADMaxValue'])
        self.timestamps = np.fromfile(path, dtype=NCS_RECORD, offset=NCS_HEADER)['timestamp']


def nev_events(path):
    """Every event of an event file as neo's Neuralynx reader reads it:
    (stamp in us, event id, TTL value, text), in time order."""
    neo = NeuralynxRawIO(filename=path)
    neo.parse_header()
    events = []
    for c in range(neo.event_channels_count()):
        # Limits well outside the events: neo's own are rounded through seconds.
        stamps, _, labels = neo.get_event_timestamps(0, 0, c, -1.0, neo.segment_t_stop(0, 0) + 1.0)
        event_id, ttl = neo.internal_event_ids[c]
        events += [(int(t), int(event_id), int(ttl) & 0xffff, str(text)) for t, text in zip(stamps, labels)]
    return sorted(events)


def cut(ncs, first, stop):
    """An input as if it held only records first to stop - 1."""
    part = copy.copy(ncs)
    part.raw = ncs.raw[first * SAMPLES_PER_RECORD:stop * SAMPLES_PER_RECORD]
    part.timestamps = ncs.timestamps[first:stop]
    return part


def joined(inputs):
    """The files of one channel, one after the other, as one input."""
    whole = copy.copy(inputs[0])
    whole.raw = np.concatenate([ncs.raw for ncs in inputs])
    whole.timestamps = np.concatenate([ncs.timestamps for ncs in inputs])
    return whole


class AbfOutput:
    """An ABF file as neo's Axon reader sees it: segments joined into one array."""

    def __init__(self, path):
        reader = AxonRawIO(filename=path)
        reader.parse_header()
        self.info = reader._axon_info
        self.version = reader.raw_annotations['blocks'][0]['abf_version']
        self.channels = reader.header['signal_channels']
        segments = reader.header['nb_segment'][0]
        chunks = [reader.get_analogsignal_chunk(0, s, stream_index=0) for s in range(segments)]
        self.data = np.concatenate(chunks)
        self.lengths = [c.shape[0] for c in chunks]
        self.starts = [reader.get_signal_t_start(0, s, 0) for s in range(segments)]


class ConversionCase:
    """Generates inputs, converts them combined and separately, and checks
    both results. Subclasses set the recording."""

    channels = 3
    records = 100
    frequency = '32000'
    extra = []          # further ncsgen options
    order = None        # input order for --combine, as indexes; default as generated

    @classmethod
    def setUpClass(cls):
        root = os.path.join(ARGS.workdir, cls.__name__)
        shutil.rmtree(root, ignore_errors=True)
        cls.indir = os.path.join(root, 'in')
        cls.outdir = os.path.join(root, 'out')
        os.makedirs(cls.outdir)
        run([ARGS.ncsgen, '--channels', str(cls.channels), '--records', str(cls.records),
             '--frequency', cls.frequency] + cls.extra + [cls.indir])
        cls.paths = [os.path.join(cls.indir, 'CSC%d.ncs' % (c + 1)) for c in range(cls.channels)]
        cls.before = [digest(p) for p in cls.paths]
        cls.inputs = [NcsInput(p) for p in cls.paths]

        order = cls.order or list(range(cls.channels))
        cls.combined_inputs = [cls.inputs[i] for i in order]
        combined = [cls.paths[i] for i in order]
        cls.combine_run = run([ARGS.tessel, 'convert', '--combine', '--quiet'] + combined)
        cls.combined_path = os.path.splitext(combined[0])[0] + '.abf'
        cls.separate_run = run([ARGS.tessel, 'convert', '--quiet', '--output-dir', cls.outdir]
                               + cls.paths)

    def test_generated_inputs_are_continuous(self):
        # Guards the rest: neo must see one gap-free section at the header's rate.
        for c, ncs in enumerate(self.inputs):
            self.assertEqual(ncs.segments, 1, ncs.path)
            self.assertEqual(ncs.raw.size, self.records * SAMPLES_PER_RECORD, ncs.path)
            self.assertEqual(ncs.rate, float(self.frequency), ncs.path)
        self.assertEqual(len({ncs.raw.tobytes() for ncs in self.inputs}), self.channels)

    def test_conversion_is_quiet_and_leaves_only_abf_files(self):
        for p in (self.combine_run, self.separate_run):
            self.assertEqual((p.stdout, p.stderr), ('', ''))
        expected = sorted(os.path.basename(p)[:-4] + '.abf' for p in self.paths)
        self.assertEqual(sorted(os.listdir(self.outdir)), expected)
        made = sorted(n for n in os.listdir(self.indir) if not n.endswith('.ncs'))
        self.assertEqual(made, [os.path.basename(self.combined_path)])

    def test_inputs_untouched(self):
        self.assertEqual([digest(p) for p in self.paths], self.before)

    def test_combined(self):
        self.check_abf(self.combined_path, self.combined_inputs)

    def test_separate(self):
        for path, ncs in zip(self.paths, self.inputs):
            out = os.path.join(self.outdir, os.path.basename(path)[:-4] + '.abf')
            with self.subTest(file=out):
                self.check_abf(out, [ncs])

    def check_abf(self, path, inputs):
        abf = AbfOutput(path)
        n = len(inputs)
        self.assertLess(abs(abf.version - 1.65), 1e-6)
        self.assertEqual(abf.info['nOperationMode'], 3)  # gap-free
        self.assertEqual(len(abf.channels), n)

        for c, (channel, ncs) in enumerate(zip(abf.channels, inputs)):
            with self.subTest(channel=c):
                # neo removes every blank from the name; the field keeps them.
                self.assertEqual(channel['name'], 'EEGCh%d' % ncs.adchannel)
                self.assertEqual(abf.info['sADCChannelName'][c].rstrip(b' '),
                                 b'EEG Ch %d' % ncs.adchannel)
                self.assertEqual(channel['units'], 'mV')
                # The per-channel rate comes back from a single-precision
                # interval of 1e6 / n / rate microseconds.
                self.assertLess(abs(channel['sampling_rate'] / ncs.rate - 1), 1e-6)
                # 10 V over ADMaxValue + 1 steps; any stray default gain or
                # scale factor on a channel shows here.
                self.assertLess(abs(channel['gain'] * (ncs.admax + 1) / 10 - 1), 1e-6)
                self.assertEqual(channel['offset'], 0)
                self.assertEqual(abf.data.dtype, np.int16)
                self.assertEqual(abf.data.shape, (ncs.raw.size, n))
                if not np.array_equal(abf.data[:, c], ncs.raw):
                    bad = np.flatnonzero(abf.data[:, c] != ncs.raw)
                    self.fail('%d samples differ, first at %d: %d, expected %d' % (
                        bad.size, bad[0], abf.data[bad[0], c], ncs.raw[bad[0]]))

        self.check_record_starts(abf, inputs)

    def check_record_starts(self, abf, inputs):
        """Each synch entry starts on a record and gives the time of that
        record since the first one."""
        if len(abf.starts) == 1:
            self.assertEqual(abf.starts[0], 0)
            return
        interval = float(abf.info['fADCSampleInterval'])  # per interleaved sample, us
        unit = float(abf.info['fSynchTimeUnit'])
        rate = float(abf.channels[0]['sampling_rate'])
        # neo divides a start in samples by the per-channel rate; undo that
        # to get microseconds, whatever unit the file uses.
        to_us = (lambda t: t * rate * interval) if unit == 0 else (lambda t: t * 1e6)
        stamps = inputs[-1].timestamps.astype(np.int64)
        first = int(inputs[0].timestamps[0])
        position = 0
        for length, start in zip(abf.lengths, abf.starts):
            self.assertEqual(position % SAMPLES_PER_RECORD, 0)
            record = position // SAMPLES_PER_RECORD
            elapsed = int(stamps[record]) - first
            tolerance = interval + 1e-6 * abs(elapsed) + 1
            self.assertLessEqual(abs(to_us(start) - elapsed), tolerance,
                                 'record %d starts at %g us, not %d' % (
                                     record, to_us(start), elapsed))
            position += length
        self.assertEqual(position, inputs[0].raw.size)


class Rate32k(ConversionCase, unittest.TestCase):
    pass


class Rate16kTwelveBit(ConversionCase, unittest.TestCase):
    # Channel numbers far from the file positions, and combined out of order,
    # so names must come from each header and channels follow the arguments.
    records = 64
    frequency = '16000'
    extra = ['--first-channel', '30', '--ad-max-value', '2047', '--seed', '77']
    order = [2, 0, 1]


class FractionalRate(ConversionCase, unittest.TestCase):
    channels = 2
    records = 40
    frequency = '30303.03'


class SixteenChannels(ConversionCase, unittest.TestCase):
    channels = 16
    records = 12


class SingleChannelFromTimeZero(ConversionCase, unittest.TestCase):
    # A first time stamp of 0 must count as a time like any other.
    channels = 1
    records = 40
    extra = ['--start-time', '0']


def generate(name, extra, channels=1, records=40):
    folder = os.path.join(ARGS.workdir, name)
    shutil.rmtree(folder, ignore_errors=True)
    run([ARGS.ncsgen, '--channels', str(channels), '--records', str(records)] + extra + [folder])
    return folder, [os.path.join(folder, 'CSC%d.ncs' % (c + 1)) for c in range(channels)]


class Volts(unittest.TestCase):
    """--volts: every sample read back in microvolts equals neo's reading of
    the input, inverted or not, whatever the resolution."""

    def check(self, extra, channels):
        folder, paths = generate('volts-%s' % '-'.join(extra), extra, channels)
        self.check_paths(paths)

    def check_paths(self, paths):
        run([ARGS.tessel, 'convert', '--quiet', '--volts', '--combine'] + paths)
        abf = AbfOutput(paths[0][:-4] + '.abf')
        inputs = [NcsInput(p) for p in paths]
        for c, ncs in enumerate(inputs):
            with self.subTest(path=ncs.path, channel=c):
                self.assertEqual(ncs.units, 'uV')
                self.assertEqual(abf.channels[c]['units'], 'uV')
                got = abf.data[:, c] * float(abf.channels[c]['gain']) + float(abf.channels[c]['offset'])
                want = ncs.raw.astype(np.float64) * ncs.gain
                # The scale factor is single precision.
                np.testing.assert_allclose(got, want, rtol=2e-7, atol=0)
                self.assertEqual(abf.data.dtype, np.int16)
                np.testing.assert_array_equal(abf.data[:, c], ncs.raw)

    def test_inverted(self):
        self.check(['--input-inverted', 'true'], 2)

    def test_not_inverted_twelve_bit(self):
        self.check(['--input-inverted', 'false', '--ad-max-value', '2047', '--seed', '5'], 3)

    def test_odd_bit_volts(self):
        self.check(['--bit-volts', '0.000000061037018951994385', '--frequency', '30303.03'], 1)

    def test_combined_resolutions_each_exact(self):
        # The header holds one resolution; each channel's scale must still be its own.
        _, twelve = generate('volts-2047', ['--ad-max-value', '2047', '--seed', '9'])
        _, sixteen = generate('volts-32767', ['--ad-max-value', '32767', '--input-inverted', 'false'])
        _, ten = generate('volts-1023', ['--ad-max-value', '1023', '--seed', '3'])
        self.check_paths(twelve + sixteen + ten)


class StartTime(unittest.TestCase):
    """--start-time: neo's start time of the ABF file is the opening time neo
    reads from the NCS header, in each form recorders write it."""

    def test_forms(self):
        for form in ('created', 'opened-ms', 'opened-at', 'date-opened'):
            with self.subTest(form=form):
                folder, paths = generate('start-' + form, ['--time-form', form])
                run([ARGS.tessel, 'convert', '--quiet', '--start-time', paths[0]])
                out = paths[0][:-4] + '.abf'
                reader = AxonRawIO(filename=out)
                reader.parse_header()
                opened = NcsInput(paths[0]).opened
                # ABF 1.x readers take the time of day from the header; the date is ours to check.
                self.assertEqual(reader.raw_annotations['blocks'][0]['rec_datetime'].time(), opened.time())
                date = int(np.fromfile(out, dtype='<i4', count=1, offset=20)[0])
                self.assertEqual(date, opened.year * 10000 + opened.month * 100 + opened.day)


class Holes(unittest.TestCase):
    """info's holes and missing time are the gaps between neo's sections."""

    def test_missing_time_is_the_gaps_between_sections(self):
        _, paths = generate('holes', ['--gap', '10:1000000', '--gap', '25:2500000', '--gap', '31:16'])
        info = json.loads(run([ARGS.tessel, 'info', '--json', paths[0]]).stdout)[0]
        neo = NeuralynxRawIO(filename=paths[0])
        neo.parse_header()
        gaps = [neo.segment_t_start(0, s + 1) - neo.segment_t_stop(0, s) for s in range(neo.header['nb_segment'][0] - 1)]
        self.assertEqual((info['holes'], round(info['missing_us']), round(info['largest_hole_us'])),
                         (len(gaps), round(sum(gaps) * 1e6), round(max(gaps) * 1e6)))


class Split(unittest.TestCase):
    """--split: a stamp 70000 s on lies beyond the 2^31 sample intervals of
    one file's synch array; the parts hold every record once."""

    def test_parts_hold_every_record_once(self):
        folder, paths = generate('split', ['--gap', '25:70000000000', '--frequency', '32000'], 2)
        refused = subprocess.run([ARGS.tessel, 'convert', '--combine', folder], capture_output=True, text=True)
        self.assertEqual(refused.returncode, 1)
        self.assertIn('--split', refused.stderr)
        run([ARGS.tessel, 'convert', '--quiet', '--combine', '--split', folder])
        inputs = [NcsInput(p) for p in paths]
        parts = [paths[0][:-4] + '_part%d.abf' % k for k in (1, 2)]
        self.assertFalse(os.path.exists(paths[0][:-4] + '_part3.abf'))
        data = []
        for part, first in zip(parts, (0, 25)):
            abf = AbfOutput(part)
            data.append(abf.data)
            self.assertEqual(abf.info['lSynchArraySize'], abf.data.shape[0] // SAMPLES_PER_RECORD)
            # Each part's synch array counts from its own first record.
            synch = np.fromfile(part, dtype='<i4', offset=abf.info['lSynchArrayPtr'] * 512,
                                count=2 * abf.info['lSynchArraySize']).reshape(-1, 2)
            stamps = inputs[-1].timestamps.astype(np.int64)[first:first + len(synch)]
            interval = float(abf.info['fADCSampleInterval'])
            np.testing.assert_array_equal(synch[:, 0], np.trunc((stamps - stamps[0]) / np.float32(interval)))
            np.testing.assert_array_equal(synch[:, 1], SAMPLES_PER_RECORD * len(inputs))
        joined = np.concatenate(data)
        for c, ncs in enumerate(inputs):
            np.testing.assert_array_equal(joined[:, c], ncs.raw)


class Events(unittest.TestCase):
    """info on an event file is what neo's Neuralynx reader reads of it: the
    count, the first and last stamps, the TTL values (unsigned) and the first
    events, with a hole and events before and after the records."""

    def test_info_is_what_neo_reads(self):
        folder, _ = generate('events', ['--gap', '10:1000000', '--events', '3', '--event=-5000000:32768',
                                        '--event', '9000000:5:late marker'])
        path = os.path.join(folder, 'Events.nev')
        info = json.loads(run([ARGS.tessel, 'info', '--json', path]).stdout)[0]
        events = nev_events(path)  # the generator writes them in time order
        self.assertGreater(len(events), 10)
        self.assertEqual((info['events'], info['first_timestamp_us'], info['last_timestamp_us'], info['ttl_values']),
                         (len(events), events[0][0], events[-1][0], sorted({e[2] for e in events})))
        self.assertEqual([(e['timestamp_us'], e['id'], e['ttl'], e['text']) for e in info['first_events']], events[:5])
        self.assertIn(32768, info['ttl_values'])


class Tags(unittest.TestCase):
    """--events: neo reads lTagTime (intervals of the interleaved stream) as per-channel samples, as it
    does the synch array: its tag times are the events' exactly on one channel, n times them on n."""

    def check_tags(self, abf_path, events, origin, end, n):
        """The tags of abf_path are the events from origin to end (us), in order."""
        reader = AxonRawIO(filename=abf_path)
        reader.parse_header()
        count = reader.event_count(0, 0, 0)
        stamps, _, types = reader.get_event_timestamps(0, 0, 0, None, None)
        seconds = reader.rescale_event_timestamp(stamps, 'float64', 0)
        comments = reader.raw_annotations['blocks'][0]['segments'][0]['events'][0]['comments']
        interval = 1 / reader.get_signal_sampling_rate(0)  # per channel, s
        held = [e for e in events if origin <= e[0] < end]
        self.assertEqual(count, len(held))
        self.assertEqual(set(types), {'1'} if held else set())
        for (stamp, _, _, text), got, comment in zip(held, seconds, comments):
            self.assertTrue(0 <= (stamp - origin) / 1e6 * n - got <= interval, (text, got))
            self.assertEqual(ast.literal_eval(comment), text.encode('latin-1')[:56].rstrip(b' '))
        return len(held)

    def test_one_four_and_sixteen_channels(self):
        for n in (1, 4, 16):
            with self.subTest(channels=n):
                folder, paths = generate('tags-%d' % n, ['--gap', '20:2000000', '--events', '4',
                                                         '--event=-3000:3', '--event', '700000:5:' + 'x' * 80], n)
                p = run([ARGS.tessel, 'convert', '--quiet', '--combine', '--events', folder])
                events = nev_events(os.path.join(folder, 'Events.nev'))
                stamps = NcsInput(paths[-1]).timestamps.astype(np.int64)
                end = stamps[-1] + SAMPLES_PER_RECORD * 1e6 / 32000
                held = self.check_tags(paths[0][:-4] + '.abf', events, stamps[0], end, n)
                self.assertGreater(held, 10)
                self.assertIn('%d of its %d events lie before' % (len(events) - held, len(events)), p.stderr)

    def test_parts(self):
        # A stamp 70000 s on starts a second part; the event in that hole
        # would lie past the first part's 2^31 intervals and is left out.
        folder, paths = generate('tags-split', ['--gap', '25:70000000000', '--events', '5'], 2)
        run([ARGS.tessel, 'convert', '--quiet', '--combine', '--split', '--events', folder])
        events = nev_events(os.path.join(folder, 'Events.nev'))
        stamps = NcsInput(paths[-1]).timestamps.astype(np.int64)
        record = SAMPLES_PER_RECORD * 1e6 / 32000
        part = paths[0][:-4] + '_part%d.abf'
        limit = (2 ** 31 - 1) * 1e6 / 32000 / 2
        self.check_tags(part % 1, events, stamps[0], stamps[0] + limit, 2)
        self.check_tags(part % 2, events, stamps[25], stamps[-1] + record, 2)


class Sessions(unittest.TestCase):
    """A folder with restarts, and ranges: every sample and record start
    that neo reads of the ABF file is that of the NCS records it should hold."""

    check_abf = ConversionCase.check_abf
    check_record_starts = ConversionCase.check_record_starts
    check_tags = Tags.check_tags

    def test_restart_files_continue_their_channels(self):
        folder, paths = generate('restarts', [], 3, 30)
        later, _ = generate('restarts-later', ['--start-time', '1020000000'], 3, 20)
        last, _ = generate('restarts-last', ['--start-time', '1500000000', '--seed', '4'], 3, 10)
        for c in range(3):
            shutil.copy(os.path.join(later, 'CSC%d.ncs' % (c + 1)), os.path.join(folder, 'CSC%d_0001.ncs' % (c + 1)))
            shutil.copy(os.path.join(last, 'CSC%d.ncs' % (c + 1)), os.path.join(folder, 'CSC%d_0002.ncs' % (c + 1)))
        p = run([ARGS.tessel, 'convert', '--quiet', '--combine', folder])
        self.assertEqual(p.stderr.count('acquisition restarts: 2'), 3)
        self.assertEqual(sorted(n for n in os.listdir(folder) if n.endswith('.abf')), ['CSC1.abf'])
        inputs = [joined([NcsInput(os.path.join(d, 'CSC%d.ncs' % (c + 1))) for d in (folder, later, last)])
                  for c in range(3)]
        self.check_abf(paths[0][:-4] + '.abf', inputs)

    def test_ranges(self):
        folder, paths = generate('ranges', ['--gap', '30:1000000', '--events', '3'], 2, 60)
        inputs = [NcsInput(p) for p in paths]
        events = nev_events(os.path.join(folder, 'Events.nev'))
        out = os.path.join(ARGS.workdir, 'ranges-out')
        # Seconds, a clock time (opened at 10:15:42), either bound alone; the tags of the range.
        for bounds, first, stop in ((['--from', '0.1', '--to', '0.2'], 6, 13),
                                    (['--from', '10:15:43.4'], 30, 60),  # past the hole
                                    (['--to', '0.016'], 0, 1)):
            with self.subTest(bounds=bounds):
                shutil.rmtree(out, ignore_errors=True)
                os.makedirs(out)
                run([ARGS.tessel, 'convert', '--quiet', '--combine', '--start-time', '--events', '--output-dir', out]
                    + bounds + paths)
                abf = os.path.join(out, 'CSC1.abf')
                self.check_abf(abf, [cut(ncs, first, stop) for ncs in inputs])
                stamps = inputs[-1].timestamps.astype(np.int64)
                self.check_tags(abf, events, stamps[first], stamps[stop - 1] + SAMPLES_PER_RECORD * 1e6 / 32000, 2)
                reader = AxonRawIO(filename=abf)
                reader.parse_header()
                start = inputs[0].opened + datetime.timedelta(
                    microseconds=int(inputs[0].timestamps[first] - inputs[0].timestamps[0]))
                # The header holds whole milliseconds, which neo adds in floating point.
                got = datetime.datetime.combine(start.date(), reader.raw_annotations['blocks'][0]['rec_datetime'].time())
                self.assertLess(abs(got - start.replace(microsecond=start.microsecond // 1000 * 1000)),
                                datetime.timedelta(microseconds=10))


class DefaultBytes(unittest.TestCase):
    """Without the options that came with sessions, events, names and ranges,
    the outputs are byte for byte those of the converter before them: the
    digests below were taken from it on the same generated recordings."""

    CASES = [  # ncsgen's options, then tessel's, and the digest of the ABF files' names and bytes
        ('--channels 1 --records 200', '', '2d3c6f8e5bc64bdbd53089fac3d5b0669cd44dafadc4d230aa651924547e6337'),
        ('--channels 4 --records 120 --gap 30:1000000 --gap 80:-2000000 --short 7:100', '--combine',
         'b032405b44e50a4152768778aec2e2f5178162fb52f3e43c8796695d6882ac52'),
        ('--channels 4 --records 60 --seed 9', '', '255912bad4a7e466c6f8352d841108a7bf5cec40c87900dd76a71d491324da51'),
        ('--channels 16 --records 40 --frequency 30303.03', '--combine --volts --start-time',
         'e1b1159222ef44f77d6b0245605a8f9fb8cacb84755f203da51e95f54cc3401a'),
        ('--channels 2 --records 30 --gap 20:70000000000', '--combine --split',
         '736242dbeeb61a2f3ee28a4f90ee4bde40e86cd9124b0427466b6aa41d826828'),
    ]

    def test_digests(self):
        for k, (generated, options, want) in enumerate(self.CASES):
            with self.subTest(generated=generated, options=options):
                folder = os.path.join(ARGS.workdir, 'default-%d' % k)
                shutil.rmtree(folder, ignore_errors=True)
                run([ARGS.ncsgen] + generated.split() + [folder])
                run([ARGS.tessel, 'convert', '--quiet'] + options.split() + [folder])
                h = hashlib.sha256()
                for path in sorted(glob.glob(os.path.join(folder, '*.abf'))):
                    h.update(os.path.basename(path).encode())
                    with open(path, 'rb') as f:
                        h.update(f.read())
                self.assertEqual(h.hexdigest(), want)


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--tessel', required=True)
    parser.add_argument('--ncsgen', required=True)
    parser.add_argument('--workdir', required=True)
    ARGS, rest = parser.parse_known_args()
    ARGS.workdir = os.path.abspath(ARGS.workdir)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == '__main__':
    main()
