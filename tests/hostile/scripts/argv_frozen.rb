ARGV.freeze
puts ARGV.size
