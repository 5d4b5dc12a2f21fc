puts $stdout.external_encoding.inspect, $stdout.internal_encoding.inspect
puts $stderr.external_encoding.inspect, $stderr.internal_encoding.inspect
